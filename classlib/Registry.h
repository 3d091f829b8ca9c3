// TRegistry: the class library's registry object, on the platform's Reg*
// functions. It has a root key (HKEY_CURRENT_USER unless set) and at most
// one open key, the current key; value operations work on the current key.
//
// Key names are relative to the current key when one is open, else to the
// root; a name beginning with "\" is taken from the root. A trailing "\" is
// allowed. Opening a key makes it the current key and closes the one before.
//
// Style: the class library's properties are methods (RootKey(),
// SetRootKey(), CurrentKey(), CurrentPath(), Access(), SetAccess()).
// Nothing raises: where the class library raises (a value of the wrong
// type, a failed write) the result is empty, 0 or false.
#pragma once

#include "AnsiString.h"
#include "StringList.h"

#include <winreg.h>

// Value kinds as the class library names them.
enum TRegDataType { rdUnknown, rdString, rdExpandString, rdInteger, rdBinary };

struct TRegKeyInfo {
    int NumSubKeys = 0;
    int MaxSubKeyLen = 0;
    int NumValues = 0;
    int MaxValueLen = 0;
    int MaxDataLen = 0;
};

class TRegistry {
public:
    // Access used by OpenKey and CreateKey: KEY_ALL_ACCESS unless given.
    TRegistry();
    explicit TRegistry(REGSAM access);
    ~TRegistry(); // closes the current key
    TRegistry(const TRegistry &) = delete;
    TRegistry &operator=(const TRegistry &) = delete;

    HKEY RootKey() const { return fRootKey; }
    // Closes the current key when the root changes.
    void SetRootKey(HKEY rootKey);
    HKEY CurrentKey() const { return fCurrentKey; }
    // Path of the current key below the root, without leading "\".
    AnsiString CurrentPath() const { return fCurrentPath; }
    REGSAM Access() const { return fAccess; }
    void SetAccess(REGSAM access) { fAccess = access; }

    bool OpenKey(const AnsiString &key, bool canCreate);
    // Opens with KEY_READ only; writes through it then fail.
    bool OpenKeyReadOnly(const AnsiString &key);
    // Creates the key (and the keys above it) without opening it; true
    // also when it exists already.
    bool CreateKey(const AnsiString &key);
    // Deletes the key with all its subkeys and values.
    bool DeleteKey(const AnsiString &key);
    bool KeyExists(const AnsiString &key);
    void CloseKey();

    bool HasSubKeys();
    bool GetKeyInfo(TRegKeyInfo &info);
    // Replace the list's content with the current key's subkey names (in
    // registry order) or value names; empty without a current key.
    void GetKeyNames(TStrings *strings);
    void GetValueNames(TStrings *strings);

    bool ValueExists(const AnsiString &name);
    TRegDataType GetDataType(const AnsiString &name);
    int GetDataSize(const AnsiString &name); // -1 when absent
    bool DeleteValue(const AnsiString &name);

    // A string or expandable string value; empty when missing or of
    // another type. Bytes after a NUL are not part of the string.
    AnsiString ReadString(const AnsiString &name);
    bool WriteString(const AnsiString &name, const AnsiString &value);
    bool WriteExpandString(const AnsiString &name, const AnsiString &value);
    // A REG_DWORD value; 0 when missing or of another type.
    int ReadInteger(const AnsiString &name);
    bool WriteInteger(const AnsiString &name, int value);
    bool ReadBool(const AnsiString &name) { return ReadInteger(name) != 0; }
    bool WriteBool(const AnsiString &name, bool value) { return WriteInteger(name, value ? 1 : 0); }
    // Up to `size` bytes of a value of any type; the count read, 0 when
    // missing or bigger than the buffer.
    int ReadBinaryData(const AnsiString &name, void *buffer, int size);
    bool WriteBinaryData(const AnsiString &name, const void *buffer, int size);

private:
    // The key handle and path that `key` is relative to.
    HKEY BaseKey(const AnsiString &key) const;
    bool IsRelative(const AnsiString &key) const;
    static AnsiString Inner(const AnsiString &key); // without outer "\"s
    void ChangeKey(HKEY key, const AnsiString &path);
    bool QueryValue(const AnsiString &name, DWORD *type, std::string *data);
    bool SetValue(const AnsiString &name, DWORD type, const void *data, DWORD size);

    HKEY fRootKey = HKEY_CURRENT_USER;
    HKEY fCurrentKey = nullptr;
    AnsiString fCurrentPath;
    REGSAM fAccess = KEY_ALL_ACCESS;
};
