// TStrings and TStringList: the class library's lists of strings.
//
// TStrings is the abstract list that functions fill (TRegistry::GetKeyNames
// takes one); TStringList is the list that holds its strings. Indexes are
// 0-based, as in the class library. The class library's properties are
// methods: Count(), Strings(i) to read, SetStrings(i, s) to write.
// Nothing raises: an index out of range reads as the empty string and is
// ignored by SetStrings, Delete and Insert (Insert at Count() appends).
//
// IndexOf, Find and Sort compare without regard to ASCII case unless
// SetCaseSensitive(true), as the class library's TStringList does.
#pragma once

#include "AnsiString.h"

#include <vector>

class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual AnsiString Strings(int index) const = 0;
    virtual void SetStrings(int index, const AnsiString &s) = 0;
    virtual void Insert(int index, const AnsiString &s) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    virtual int IndexOf(const AnsiString &s) const;

    // Appends `s`; returns its index.
    virtual int Add(const AnsiString &s);
    void AddStrings(const TStrings &other);
    AnsiString operator[](int index) const { return Strings(index); }

    // The strings each followed by "\r\n"; SetText splits at "\r\n", "\n"
    // or "\r" (a last line without a break counts too).
    AnsiString Text() const;
    void SetText(const AnsiString &text);
};

class TStringList : public TStrings {
public:
    TStringList() = default;

    int Count() const override { return static_cast<int>(fItems.size()); }
    AnsiString Strings(int index) const override;
    void SetStrings(int index, const AnsiString &s) override;
    void Insert(int index, const AnsiString &s) override;
    void Delete(int index) override;
    void Clear() override { fItems.clear(); }
    int IndexOf(const AnsiString &s) const override;

    // Stable sort by the list's comparison.
    void Sort();
    bool CaseSensitive() const { return fCaseSensitive; }
    void SetCaseSensitive(bool caseSensitive) { fCaseSensitive = caseSensitive; }

private:
    int Compare(const AnsiString &a, const AnsiString &b) const;

    std::vector<AnsiString> fItems;
    bool fCaseSensitive = false;
};
