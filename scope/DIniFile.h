// CDIniFile: the scope's settings as an ordered key/value store. The map keeps
// the order in which each key was first set, which is the line order of the file.
#pragma once

#include <cstdio>
#include <string_view>

#include "platform/core/Collections.h"
#include "platform/core/String.h"

class CDIniFile : public CMapStringToString {
public:
    BOOL LoadFile(const char* path);
    BOOL LoadStream(FILE* stream);
    // Loads from text already in memory (the trailer of a data file).
    BOOL LoadText(std::string_view text);
    // Written beside the target and put in place only when the whole text was written.
    BOOL SaveFile(const char* path) const;
    BOOL SaveStream(FILE* stream) const;
    CString SaveText() const;

    void SetString(const char* key, const char* text);
    void SetInt(const char* key, int value);
    void SetShort(const char* key, short value) { SetInt(key, value); }
    void SetDouble(const char* key, double value);

    BOOL GetString(const char* key, CString& text) const;
    BOOL GetInt(const char* key, int& value) const;
    BOOL GetByte(const char* key, BYTE& value) const;
    BOOL GetShort(const char* key, short& value) const;
    BOOL GetDouble(const char* key, double& value) const;
    BOOL GetColor(const char* key, DWORD& value) const;

    void Clear();
    // The keys in the order they were first set.
    CStringList GetKeyOrder() const;

private:
    void LoadLine(std::string_view line);
};
