// The versions in the programs' resources: said on the console and shown in
// the viewer's About box.
#include "Viewer.h"

#include <stdio.h>

#include "ViewerTexts.h"

namespace host {
namespace {

std::string ResourceText(const std::vector<char>& data, const char* name)
{
    char query[128];
    snprintf(query, sizeof query, "\\StringFileInfo\\041904E3\\%s", name);
    char* value = NULL;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, (void**)&value, &length) || !value || !length)
        return std::string();
    return std::string(value);
}

std::vector<char> VersionData(const std::string& path)
{
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(path.c_str(), &ignored);
    std::vector<char> data(size);
    if (!size || !GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        data.clear();
    return data;
}

std::string OwnPath()
{
    char path[MAX_PATH] = "";
    DWORD length = GetModuleFileNameA(NULL, path, sizeof path);
    return length && length < sizeof path ? std::string(path, length) : std::string();
}

}  // namespace

std::string Viewer::VersionOf(const std::string& path)
{
    std::vector<char> data = VersionData(path);
    std::string version = data.empty() ? std::string() : ResourceText(data, "ProductVersion");
    return version.empty() ? std::string("?") : version;
}

void Viewer::SayVersions()
{
    std::string folder = ProgramFolder();
    Say("OrvexHost.exe %s", VersionOf(OwnPath()).c_str());
    Say("%s %s", kLibraryName, VersionOf(JoinPath(folder, kLibraryName)).c_str());
    Say("%s %s", kConverterName, VersionOf(JoinPath(folder, kConverterName)).c_str());
}

void Viewer::ShowAbout()
{
    std::string folder = ProgramFolder();
    std::vector<char> own = VersionData(OwnPath());
    std::string copyright = own.empty() ? std::string() : ResourceText(own, "LegalCopyright");
    std::string mine = VersionOf(OwnPath());
    std::string library = VersionOf(JoinPath(folder, kLibraryName));
    std::string converter = VersionOf(JoinPath(folder, kConverterName));
    auto shown = [](const std::string& v) { return v == "?" ? text::kNoVersion : v.c_str(); };
    SayVersions();
    Box(MB_ICONINFORMATION, text::kAbout, shown(mine), shown(mine), shown(library), shown(converter),
        copyright.c_str());
}

}  // namespace host
