// AnsiString: the class library's 8-bit string. It holds bytes, any byte
// including 0 and the two-byte characters of GB2312 text, and has value
// semantics (copies are independent). Character positions are 1-based, as
// in the class library: s[1] is the first byte, SubString(1, n) the first n
// bytes, Pos() gives 0 when the text is absent.
//
// The class library raises exceptions for bad indexes and bad numbers; this
// one raises nothing: an index out of range reads as 0 (and writes go to a
// scratch byte), ToInt() of a text that is no number gives 0.
#pragma once

#include <iosfwd>
#include <string>

class AnsiString {
public:
    AnsiString() = default;
    AnsiString(const char *text);             // null gives the empty string
    AnsiString(const char *bytes, int length); // exactly `length` bytes
    AnsiString(char c);
    AnsiString(int value);                     // decimal text; s + 5 appends "5"
    AnsiString(unsigned value);
    AnsiString(long value);
    AnsiString(unsigned long value);
    AnsiString(long long value);
    AnsiString(unsigned long long value);
    AnsiString(double value);                  // shortest round text, "%g"
    AnsiString(const std::string &bytes);
    AnsiString(std::string &&bytes);

    // Always NUL-terminated; "" for the empty string, never null.
    const char *c_str() const { return fData.c_str(); }
    // Same bytes, for code that talks to the standard library.
    const std::string &str() const { return fData; }
    int Length() const { return static_cast<int>(fData.size()); }
    bool IsEmpty() const { return fData.empty(); }
    void SetLength(int length); // cuts or pads with NUL bytes

    AnsiString &operator+=(const AnsiString &other);
    AnsiString &operator+=(const char *text);

    // 1-based byte access.
    char &operator[](int index);
    char operator[](int index) const;

    // The bytes at positions start .. start + count - 1 that lie inside
    // the string (so a start below 1 shortens the result).
    AnsiString SubString(int start, int count) const;
    // 1-based position of the first `sub`, 0 when absent or `sub` is empty.
    int Pos(const AnsiString &sub) const;
    // Removes `count` bytes from the 1-based `index`; out of range is cut.
    AnsiString &Delete(int index, int count);
    // Inserts `text` before the 1-based `index` (past the end appends).
    AnsiString &Insert(const AnsiString &text, int index);
    // 1-based position of the last byte that is one of `delimiters`, 0 if none.
    int LastDelimiter(const AnsiString &delimiters) const;

    // ASCII letters only, so GB2312 bytes stay as they are.
    AnsiString UpperCase() const;
    AnsiString LowerCase() const;
    // Remove bytes up to and including blank (control bytes and spaces).
    AnsiString Trim() const;
    AnsiString TrimLeft() const;
    AnsiString TrimRight() const;

    // Decimal, or hex with "0x"/"$" prefix, optional sign, blanks around.
    int ToInt() const;                  // 0 when it is no number
    int ToIntDef(int defaultValue) const;
    // Reads the number into *value; false (value untouched) if none.
    bool TryToInt(int *value) const;

    // Sets the string to the formatted text, as sprintf does; returns it.
    AnsiString &printf(const char *format, ...) __attribute__((format(__printf__, 2, 3)));
    AnsiString &sprintf(const char *format, ...) __attribute__((format(__printf__, 2, 3)));
    // Appends the formatted text.
    AnsiString &cat_printf(const char *format, ...) __attribute__((format(__printf__, 2, 3)));

    // Byte-wise comparison: <0, 0, >0; and the same without regard to
    // ASCII case.
    int Compare(const AnsiString &other) const;
    int CompareIC(const AnsiString &other) const;

    friend bool operator==(const AnsiString &a, const AnsiString &b) { return a.fData == b.fData; }
    friend bool operator!=(const AnsiString &a, const AnsiString &b) { return a.fData != b.fData; }
    friend bool operator<(const AnsiString &a, const AnsiString &b) { return a.fData < b.fData; }
    friend bool operator>(const AnsiString &a, const AnsiString &b) { return a.fData > b.fData; }
    friend bool operator<=(const AnsiString &a, const AnsiString &b) { return a.fData <= b.fData; }
    friend bool operator>=(const AnsiString &a, const AnsiString &b) { return a.fData >= b.fData; }
    friend bool operator==(const AnsiString &a, const char *b) { return a.fData == (b ? b : ""); }
    friend bool operator!=(const AnsiString &a, const char *b) { return !(a == b); }
    friend bool operator==(const char *a, const AnsiString &b) { return b == a; }
    friend bool operator!=(const char *a, const AnsiString &b) { return !(b == a); }

private:
    std::string fData;
    static thread_local char fScratch; // target of out-of-range writes through []
};

AnsiString operator+(const AnsiString &a, const AnsiString &b);
AnsiString operator+(const AnsiString &a, const char *b);
AnsiString operator+(const char *a, const AnsiString &b);

std::ostream &operator<<(std::ostream &out, const AnsiString &s);

// The class library's free conversion functions.
AnsiString IntToStr(int value);
AnsiString IntToHex(int value, int digits); // upper-case hex, zero-padded
int StrToInt(const AnsiString &text);       // 0 when it is no number
int StrToIntDef(const AnsiString &text, int defaultValue);
AnsiString UpperCase(const AnsiString &text);
AnsiString LowerCase(const AnsiString &text);
AnsiString Trim(const AnsiString &text);
