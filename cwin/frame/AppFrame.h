// CAppFrame: the application frame, one per top-level window.
//
//   CAppFrame       attaches to a window, owns the object table of framework
//                   controls (factory, sweep, lookups), routes messages and
//                   notifications to them, lays them out with the status bar
//                   and docked bars, and keeps the status hints, progress bar,
//                   tray icon, drag and drop, clipboard, worker registry, event
//                   lock and splash window.
//
// ITableReceiver, which receives the cells of ReadDelimitedText, comes with
// the reader itself (cwin/system/DelimitedText.h).
//
// Without a window the frame still serves the heap registry calls, the file
// dialog object, the progress bar and the delimited text reader. A program
// without windows needs no frame: the reader and the file functions are in
// cwin/system.
#ifndef CWIN_APPFRAME_H
#define CWIN_APPFRAME_H

#include <windows.h>

#include "cwin/system/MessageBox.h"
#include "cwin/window/BaseWindow.h"
#include "cwin/system/DelimitedText.h"
#include "cwin/system/FileChooser.h"
#include "cwin/window/ImageLists.h"
#include "cwin/system/MathFlow.h"
#include "cwin/controls/ProgBar.h"
#include "cwin/frame/Splash.h"

#define CWIN_MAX_CONTROLS 256
#define CWIN_MAX_WORKERS  16

class CCustom;

class CAppFrame : public IWindowOwner, public IMessageBoxes
{
public:
    CAppFrame();
    ~CAppFrame();

    // Operations, in slot order.
    virtual bool CreateStatusBar(const char* defaultText, DWORD style, int fontHeight, int fontWidth,
                                 const char* face);
    virtual bool SetStatusText(int part, int styleByte, const char* format, ...);
    virtual int  GetClipboardText(char** out);
    virtual bool AddTrayIcon(UINT callbackMessage, int iconId, const char* tip, HMENU menu,
                             EventCallback commandHandler);
    virtual bool RemoveTrayIcon();
    virtual bool RestoreStatusHint();
    virtual bool SetMinimumClientSize(int width, int height, int eraseFlag);
    CImageLists* GetImageLists() override;
    // For "Dialog", exStyle carries the page's init callback and text its template.
    CBaseWindow* CreateControl(const char* typeName, int left, int top, int right, int bottom,
                               ULONG_PTR exStyle, DWORD style, const char* text, HWND parent) override;
    virtual ICustom* CreateCustom(CCustom* object, int left, int top, int right, int bottom,
                                  ULONG_PTR exStyle, DWORD style, const char* text, HWND parent);
    virtual CBaseWindow* AttachControl(const char* typeName, HWND dialog, int item,
                                       EventCallback callback, int mask, IEventSink* listener);
    virtual void LayoutAll();
    virtual CImageLists* GetImageLists2();   // the same operation as GetImageLists, in its second slot
    virtual CFileChooser* GetFileDialog();
    virtual bool ShowAllControls(bool show);
    virtual bool   MemAlloc(void** variable, SIZE_T size);
    virtual bool   MemRealloc(void** variable, SIZE_T size);
    virtual bool   MemFree(void** variable);
    virtual SIZE_T MemSize(const void* block);
    virtual bool   MemZero(void* block);
    virtual const char* GetCurrentDirectoryText();

    // Binding to the top-level window (once).
    CAppFrame* Attach(HWND window, ICommandTarget* commandTarget);
    HWND      GetMainWindow() const override { return m_mainWindow; }
    HINSTANCE GetInstance() const override { return m_instance; }
    void      SetInstance(HINSTANCE instance) { m_instance = instance; }

    // Status bar and its progress bar.
    bool CreateProgressBar(int part, DWORD style);
    HWND GetStatusBar() const { return m_statusBar; }
    void ShowStatusHint(HWND window);
    void SetStatusNotifyHandler(EventCallback handler) { m_statusNotify = handler; }
    // Set: the main window answers WM_ERASEBKGND itself (its controls cover it).
    void SetEraseBackground(bool erase) { m_eraseBackground = erase; }
    // The progress bar that long operations advance; may have no window.
    void      SetProgressBar(CProgBar* bar) { m_progressBar = bar; }
    CProgBar* GetProgressBar() const { return m_progressBar; }
    IProgress* GetProgress() override { return m_progressBar; }

    // Object table.
    bool RemoveControl(int index);
    int  FindControlIndex(int id) override;
    bool FindControlByWindow(HWND window, CBaseWindow** control) override;
    CBaseWindow* ControlFromPoint(HWND window, int x, int y);
    bool RefreshFrom(int id) override;
    int  GetControlCount() const { return controlCount; }
    CBaseWindow* GetControl(int index) const override
    {
        return index >= 0 && index < controlCount ? controls[index] : NULL;
    }
    // The type name of a control kind, or null.
    static const char* TypeName(int kind);
    // Replaces the class the factory's table gives a kind (a test seam: stand-in
    // classes over the real common controls); null takes the class away.
    static bool SetControlMaker(int kind, ControlMaker maker);
    // The class a kind has now (null: none), e.g. to put it back after SetControlMaker.
    static ControlMaker GetControlMaker(int kind);

    // Routing of the messages of windows that hold controls.
    LRESULT RouteMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT RouteNotify(HWND window, WPARAM wParam, LPARAM lParam);

    // The area left to the main window's controls by the status bar and docked bars.
    const RECT& GetFreeArea() const override { return m_clientArea; }
    POINT GetContextMenuPoint() const override { return m_contextPoint; }
    int   GetDragSource() const { return m_dragSource; }
    // wParam: the notification's WPARAM (the source's child id); the start event's aux.
    bool  StartDrag(CBaseWindow* source, NMHDR* header, WPARAM wParam);
    int   GetMinimumWidth() const { return m_minWidth; }
    int   GetMinimumHeight() const { return m_minHeight; }

    // Counts the dispatches, object procedures and modal pages on the stack: an
    // object the sweep freed under them would still be used when they return,
    // so the sweep waits until none is running.
    void EnterDispatch() override { ++m_dispatchDepth; }
    void LeaveDispatch() override { --m_dispatchDepth; }

    // Every framework event is delivered under this lock; workers take it too.
    void Lock() override { EnterCriticalSection(&m_eventLock); }
    void Unlock() override { LeaveCriticalSection(&m_eventLock); }
    bool TryLock() { return TryEnterCriticalSection(&m_eventLock) != FALSE; }

    // Background workers: at most 16; each one's thread starts on registration.
    enum { MaxWorkers = CWIN_MAX_WORKERS };
    bool RegisterWorker(CMathFlow* worker, int interval);
    int  GetWorkerCount() const { return m_workerCount; }
    CMathFlow* GetWorker(int index) const
    {
        return index >= 0 && index < m_workerCount ? m_workers[index] : NULL;
    }

    // The splash window: shows the bitmap, runs the callback, closes after the
    // display time and then shows the main window.
    CSplash* GetSplash() { return &m_splash; }

    // Splits text in place into rows and cells. length 0: text names a source
    // ("Clipboard" or a file). lineSeparator 0 means CR. The frame's progress
    // bar is the reader's progress.
    bool ReadDelimitedText(char* text, int length, char fieldSeparator, char lineSeparator,
                           ITableReceiver* receiver);

    // A modal dialog page runs between these two: its slot and its items'
    // slots are kept while it runs, and freed with it afterwards.
    void EnterModalPage() override;
    void LeaveModalPage(CBaseWindow* page) override;
    LRESULT RouteForPage(HWND window, UINT message, WPARAM wParam, LPARAM lParam, bool* passOn) override;

    // Boxes of parts without a window of their own, owned by the main window.
    int ShowBox(const char* text, const char* caption, UINT type) override;

    // Set while the router works for a dialog page or a subclassed control.
    bool inDialog;
    // Set by the router when the message still needs the previous procedure.
    bool wantDefault;

private:
    // Object table: used slots 0 .. controlCount - 1; slot controlCount is scratch.
    // Only the frame's operations change it.
    CBaseWindow* controls[CWIN_MAX_CONTROLS + 1];
    int          controlCount;
    // Makes the object of a type name into the scratch slot, kind and id set.
    CBaseWindow* MakeControl(const char* typeName);
    int  FindFreeControlId();
    // Release, then the storage is freed (when the frame owns it); not in the table.
    // Anchors measured from its edges fall back to their parent's edges.
    void FreeObject(CBaseWindow* object, bool release);

    static LRESULT CALLBACK FrameProc(HWND, UINT, WPARAM, LPARAM);
    void Sweep();
    void LayoutControls(int width, int height);
    int  FirstControlToLayout();
    bool OnSizing(RECT* dragged);
    bool OnScrollBar(WPARAM wParam, LPARAM lParam);
    void OnTrayMessage(LPARAM lParam);
    void OnDragMove(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT RouteCommand(WPARAM wParam, LPARAM lParam);
    static INT_PTR SelectionOf(CBaseWindow* object);
    CBaseWindow* ListViewOfHeader(HWND header);
    void ForgetReferencesTo(CBaseWindow* object);

    HWND         m_mainWindow;
    HINSTANCE    m_instance;
    WNDPROC      m_previousProc;
    CMathFlow*   m_workers[CWIN_MAX_WORKERS];
    int          m_workerCount;
    const char*  m_defaultStatusText;
    HWND         m_statusBar;
    RECT         m_clientArea;
    bool         m_oldStyleClipboard;
    int          m_dragSource;
    EventCallback m_statusNotify;
    CFileChooser m_fileDialog;
    CImageLists  m_imageLists;
    CCustom*     m_adopt;
    bool         m_eraseBackground;
    CRITICAL_SECTION m_eventLock;
    CSplash      m_splash;
    POINT        m_contextPoint;
    ICommandTarget* m_commandTarget;
    char         m_currentDirectory[1024];
    CProgBar*    m_progressBar;
    char         m_statusText[4096];
    LOGFONTA     m_statusFont;
    HWND         m_hintedWindow;
    UINT         m_trayMessage;
    HMENU        m_trayMenu;
    EventCallback m_trayHandler;
    int          m_trayIcon;
    int          m_minWidth, m_minHeight;
    HWND         m_dragCapture;
    int          m_dispatchDepth;
};

#endif
