// A stand-in for fromZORB.exe in the viewer's tests: it prints what the file
// fake-converter.txt in its working directory holds after the first line, and
// ends with the exit code that the first line gives. Without the file it ends
// with 99.
#include <stdio.h>
#include <stdlib.h>

#include <string>

int main()
{
    FILE* file = fopen("fake-converter.txt", "rb");
    if (!file)
        return 99;
    std::string text;
    char buffer[4096];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    fclose(file);
    size_t lineEnd = text.find('\n');
    int code = atoi(text.substr(0, lineEnd).c_str());
    if (lineEnd != std::string::npos)
        fwrite(text.data() + lineEnd + 1, 1, text.size() - lineEnd - 1, stdout);
    fflush(stdout);
    return code;
}
