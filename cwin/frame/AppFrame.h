// CAppFrame: the application frame, one per top-level window: a shell over the
// parts that do the work. It attaches to the window, holds the parts and hands
// its windows the roles they ask for (IWindowOwner); the operations hosts and
// tests were promised are forwarded to the part that does them.
//
//   CControlTable    the object table: slots, lookups, the sweep (ControlTable.h)
//   CControlFactory  the kinds, typed creation, attached items, dialog pages
//   CRouter          messages and notifications of the windows that hold controls
//   CFrameLayout     free area, docked bars, minimum size, background erasing
//   CStatusBar       status bar, hints, part texts and the progress bar
//   CTrayIcon        the notification-area icon and its menu
//   CDragTracker     drag and drop between controls
//   CEventGate       the event lock, the dispatch count and the workers
//   CClipboard       the clipboard's text
//   CSplash          the splash window
//
// ITableReceiver, which receives the cells of ReadDelimitedText, comes with
// the reader itself (cwin/system/DelimitedText.h).
//
// Without a window the frame still serves the heap registry's free, the
// progress bar and the delimited text reader. A program without windows needs
// no frame: the reader and the file functions are in cwin/system.
#ifndef CWIN_APPFRAME_H
#define CWIN_APPFRAME_H

#include <windows.h>

#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileFunctions.h"
#include "cwin/system/MessageBox.h"
#include "cwin/window/ImageLists.h"
#include "cwin/frame/Clipboard.h"
#include "cwin/frame/ControlFactory.h"
#include "cwin/frame/DragTracker.h"
#include "cwin/frame/EventGate.h"
#include "cwin/frame/FrameLayout.h"
#include "cwin/frame/Router.h"
#include "cwin/frame/Splash.h"
#include "cwin/frame/StatusBar.h"
#include "cwin/frame/TrayIcon.h"

class CCustom;

class CAppFrame : public IWindowOwner, public IWindowResources, public IMessageBoxes
{
public:
    CAppFrame();
    virtual ~CAppFrame();
    CAppFrame(const CAppFrame&) = delete;
    CAppFrame& operator=(const CAppFrame&) = delete;

    // Binding to the top-level window (once; null when already attached).
    CAppFrame* Attach(HWND window, ICommandTarget* commandTarget);
    // The module the resources come from (the process's until replaced).
    void SetInstance(HINSTANCE instance) { m_instance = instance; }
    // The process's current directory when the frame was attached.
    const char* GetCurrentDirectoryText() const { return m_currentDirectory; }

    // The roles its windows ask for, and the parts that play them.
    IWindowResources& Resources() override { return *this; }
    CFrameLayout&     Layout() override { return m_layout; }
    CEventGate&       Events() override { return m_events; }
    CControlTable&    Table() override { return m_table; }
    CControlFactory&  Factory() override { return m_factory; }
    CRouter&          Router() override { return m_router; }
    CStatusBar&       StatusBar() { return m_statusBar; }
    CDragTracker&     Drag() { return m_drag; }
    CSplash*          GetSplash() { return &m_splash; }

    HWND      GetMainWindow() const override { return m_mainWindow; }
    HINSTANCE GetInstance() const override { return m_instance; }
    CImageLists* GetImageLists() override { return &m_imageLists; }
    IProgress*   GetProgress() override { return m_statusBar.GetProgressBar(); }
    // Boxes of parts without a window of their own, owned by the main window.
    int ShowBox(const char* text, const char* caption, UINT type) override;

    // Typed creation (see ControlArgs).
    template <class T> T* Create(const ControlArgs& args) { return m_factory.Create<T>(args); }
    template <class T> T* Adopt(T* object, const ControlArgs& args)
    {
        return m_factory.Adopt(object, args) ? object : NULL;
    }
    template <class T>
    T* AttachItem(HWND dialog, int item, EventCallback callback = NULL, int mask = 0, IEventSink* listener = NULL)
    {
        return m_factory.AttachItem<T>(dialog, item, callback, mask, listener);
    }
    CDialog* CreatePage(const char* dialogTemplate, const ControlArgs& args)
    {
        return m_factory.CreatePage(dialogTemplate, args);
    }
    INT_PTR RunModalPage(const char* dialogTemplate, HWND parent, EventCallback onInit)
    {
        return m_factory.RunModalPage(dialogTemplate, parent, onInit);
    }

    // Creation by type name. For "Dialog", exStyle carries the page's init
    // callback and text its template.
    CBaseWindow* CreateControl(const char* typeName, int left, int top, int right, int bottom, ULONG_PTR exStyle,
                               DWORD style, const char* text, HWND parent)
    {
        return m_factory.CreateControl(typeName, left, top, right, bottom, exStyle, style, text, parent);
    }
    ICustom* CreateCustom(CCustom* object, int left, int top, int right, int bottom, ULONG_PTR exStyle, DWORD style,
                          const char* text, HWND parent);
    CBaseWindow* AttachControl(const char* typeName, HWND dialog, int item, EventCallback callback, int mask,
                               IEventSink* listener)
    {
        return m_factory.AttachControl(typeName, dialog, item, callback, mask, listener);
    }

    // The object table.
    int  GetControlCount() const { return m_table.GetControlCount(); }
    CBaseWindow* GetControl(int index) const { return m_table.GetControl(index); }
    int  FindControlIndex(int id) { return m_table.FindControlIndex(id); }
    bool FindControlByWindow(HWND window, CBaseWindow** control)
    {
        return m_table.FindControlByWindow(window, control);
    }
    // Point in the window's client coordinates (null: the main window's).
    CBaseWindow* ControlFromPoint(HWND window, int x, int y)
    {
        return m_table.ControlFromPoint(window ? window : m_mainWindow, x, y);
    }
    bool RefreshFrom(int id) { return m_table.RefreshFrom(id); }

    // Layout of the main window.
    void LayoutAll() { m_layout.LayoutAll(); }
    bool SetMinimumClientSize(int width, int height, int eraseFlag)
    {
        return m_layout.SetMinimumClientSize(width, height, eraseFlag);
    }
    void SetEraseBackground(bool erase) { m_layout.SetEraseBackground(erase); }
    bool ShowAllControls(bool show) { return m_layout.ShowAllControls(show); }

    // The status bar and its progress bar.
    bool CreateStatusBar(const char* defaultText, DWORD style, int fontHeight, int fontWidth, const char* face)
    {
        return m_statusBar.Create(defaultText, style, fontHeight, fontWidth, face);
    }
    HWND GetStatusBar() const { return m_statusBar.GetWindow(); }
    bool SetStatusText(int part, int styleByte, const char* format, ...);
    bool RestoreStatusHint() { return m_statusBar.RestoreHint(); }
    bool CreateProgressBar(int part, DWORD style) { return m_statusBar.CreateProgressBar(part, style); }
    // The progress bar long operations advance; may have no window.
    void SetProgressBar(CProgBar* bar) { m_statusBar.SetProgressBar(bar); }

    // The tray icon.
    bool AddTrayIcon(UINT callbackMessage, int iconId, const char* tip, HMENU menu, EventCallback commandHandler)
    {
        return m_tray.Add(callbackMessage, iconId, tip, menu, commandHandler);
    }
    bool RemoveTrayIcon() { return m_tray.Remove(); }

    // Background workers (at most 16): each one's thread starts on registration.
    bool RegisterWorker(CMathFlow* worker, int interval)
    {
        return m_events.RegisterWorker(worker, interval, m_mainWindow);
    }

    // The clipboard's text into a heap registry block; free it with MemFree.
    int  GetClipboardText(char** out) { return m_clipboard.GetText(m_mainWindow, out); }
    bool MemFree(void** variable);
    // Splits text in place into rows and cells. length 0: text names a source
    // ("Clipboard" or a file). lineSeparator 0 means CR. The frame's progress
    // bar is the reader's progress.
    bool ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                           ITableReceiver* receiver);

private:
    static LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM);

    HWND      m_mainWindow;
    HINSTANCE m_instance;
    WNDPROC   m_previousProc;
    char      m_currentDirectory[1024];

    CEventGate      m_events;
    CControlTable   m_table;
    CControlFactory m_factory;
    CStatusBar      m_statusBar;
    CFrameLayout    m_layout;
    CTrayIcon       m_tray;
    CDragTracker    m_drag;
    CRouter         m_router;
    CImageLists     m_imageLists;
    CClipboard      m_clipboard;
    CFileFunctions  m_files;
    CSplash         m_splash;
};

#endif
