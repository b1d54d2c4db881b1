// Helpers of the optimiser and host-process tests: a scratch folder whose name has blanks and
// Chinese characters, whole-file reads and writes, and text conversions.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A new folder under the temporary folder, removed with its files when the object goes.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name);
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    bool Valid() const { return !path_.empty(); }
    // The folder's path followed by the file name.
    std::wstring File(const std::wstring& name) const { return path_ + name; }
    // The names of the files in the folder, sorted.
    std::vector<std::wstring> Files() const;

private:
    std::wstring path_;  // ends with a backslash
};

bool WriteWholeFile(const std::wstring& path, const std::vector<unsigned char>& bytes);
bool WriteWholeFile(const std::wstring& path, const std::string& text);
std::vector<unsigned char> ReadWholeFile(const std::wstring& path);
bool FileExists(const std::wstring& path);

std::string Utf8Of(const std::wstring& text);
