#pragma once
// The settings file. No cache: every read opens the file and reads one value; every write goes to
// the file at once. A missing file reads as the defaults and is not created by a read.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/SettingsKeys.h"

class IniFile {
public:
    IniFile() = default;
    explicit IniFile(std::wstring fileName) : m_fileName(std::move(fileName)) {}

    const std::wstring& FileName() const noexcept { return m_fileName; }
    bool Exists() const;

    bool ReadBool(const wchar_t* section, const wchar_t* key, bool defaultValue) const;
    int ReadInteger(const wchar_t* section, const wchar_t* key, int defaultValue) const;
    std::wstring ReadString(const wchar_t* section, const wchar_t* key, const std::wstring& defaultValue) const;

    // False when the value could not be written.
    bool WriteBool(const wchar_t* section, const wchar_t* key, bool value) const;
    bool WriteInteger(const wchar_t* section, const wchar_t* key, int value) const;
    bool WriteString(const wchar_t* section, const wchar_t* key, const std::wstring& value) const;

    // Replaces every key of a section with these, in one write of the file: when it fails, the
    // file is as it was.
    bool WriteSection(const wchar_t* section, const std::vector<std::pair<std::wstring, std::wstring>>& values) const;
    // Erases a section, only when the file and the section exist.
    bool EraseSection(const wchar_t* section) const;
    std::vector<std::wstring> SectionNames() const;
    // The names of a section's keys, in file order.
    std::vector<std::wstring> KeyNames(const wchar_t* section) const;

    // The typed accessors of the key table.
    bool Read(const BoolKey& k) const { return ReadBool(k.section, k.key, k.defaultValue); }
    int Read(const IntKey& k) const { return ReadInteger(k.section, k.key, k.defaultValue); }
    std::wstring Read(const StringKey& k) const { return ReadString(k.section, k.key, k.defaultValue); }
    bool Write(const BoolKey& k, bool value) const { return WriteBool(k.section, k.key, value); }
    bool Write(const IntKey& k, int value) const { return WriteInteger(k.section, k.key, value); }
    bool Write(const StringKey& k, const std::wstring& value) const { return WriteString(k.section, k.key, value); }

private:
    // A file the program creates starts with a UTF-16LE byte-order mark, so the profile functions
    // keep non-ANSI paths and captions. An existing file keeps its encoding until `text` (what is
    // about to be written) holds a character its code page lacks; it is then rewritten as UTF-16
    // first, so nothing is ever stored as "?".
    bool PrepareForWrite(std::wstring_view text) const;

    std::wstring m_fileName;
};

// The settings folder under the per-user application data folder: base\maker\title. A level
// that cannot be created shows "Cannot create data folder" and the base is kept.
std::wstring GetSettingsFolder(const std::wstring& maker, const std::wstring& title);
// Writes and erases a test value; true when the file could be written.
bool IsIniWritable(const std::wstring& path);
// The settings file of this run: from the command line, else the per-user folder, else beside the
// program (without a test).
std::wstring FindIniFileName(const std::wstring& maker, const std::wstring& title,
                             const std::vector<std::wstring>& arguments);
// The command-line arguments of this process, without the program name.
std::vector<std::wstring> ProcessArguments();
