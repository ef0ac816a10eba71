// CFileChooser: the frame's open-file dialog, with the file functions it is
// also asked for. Code that needs only the file functions uses CFileFunctions
// (FileFunctions.h) and does not link the dialog.
#ifndef CWIN_FILECHOOSER_H
#define CWIN_FILECHOOSER_H

#include <windows.h>
#include <commdlg.h>

#include "cwin/system/FileFunctions.h"

class CFileChooser : public CFileFunctions
{
public:
    CFileChooser();

    // The dialog; the file operations are those of CFileFunctions.
    virtual bool        ChooseFile();
    virtual bool        SetFilter(const char* filter);
    virtual const char* GetFileName();
    virtual int         ReadWholeFile(const char* name, char** buffer, int size = -1);
    virtual bool        FreeBuffer(char** buffer);
    virtual const char* GetNamePart();
    virtual bool        IsNamePart(const char* name);
    virtual bool        FileExists(const char* format, ...);

    void SetOwner(HWND owner) { m_owner = owner; }
    void SetInstance(HINSTANCE instance) { m_instance = instance; }
    const char* GetFilter() const { return m_filter; }

    // Turns "text|pattern|..." into the double-terminated list the dialog wants.
    // False (and nothing written) for an empty filter or one of 2048 characters or more.
    static bool BuildFilterList(const char* filter, char* out /* 2048 bytes */);

    enum { FilterLimit = 2048 };

private:
    OPENFILENAMEA m_dialog;
    const char*   m_filter;
    char          m_fileName[MAX_PATH];
    HWND          m_owner;
    HINSTANCE     m_instance;
};

#endif
