#include "StringList.h"

#include <algorithm>

int TStrings::IndexOf(const AnsiString &s) const
{
    for (int i = 0; i < Count(); ++i)
        if (Strings(i).CompareIC(s) == 0)
            return i;
    return -1;
}

int TStrings::Add(const AnsiString &s)
{
    int index = Count();
    Insert(index, s);
    return index;
}

void TStrings::AddStrings(const TStrings &other)
{
    // Take the count first: adding a list to itself doubles it once.
    int count = other.Count();
    for (int i = 0; i < count; ++i)
        Add(other.Strings(i));
}

AnsiString TStrings::Text() const
{
    std::string text;
    for (int i = 0; i < Count(); ++i) {
        text += Strings(i).str();
        text += "\r\n";
    }
    return AnsiString(std::move(text));
}

void TStrings::SetText(const AnsiString &text)
{
    Clear();
    const std::string &bytes = text.str();
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find_first_of("\r\n", start);
        if (end == std::string::npos) {
            Add(AnsiString(bytes.substr(start)));
            break;
        }
        Add(AnsiString(bytes.substr(start, end - start)));
        start = end + 1;
        if (bytes[end] == '\r' && start < bytes.size() && bytes[start] == '\n')
            ++start;
    }
}

AnsiString TStringList::Strings(int index) const
{
    if (index < 0 || index >= Count())
        return AnsiString();
    return fItems[static_cast<size_t>(index)];
}

void TStringList::SetStrings(int index, const AnsiString &s)
{
    if (index >= 0 && index < Count())
        fItems[static_cast<size_t>(index)] = s;
}

void TStringList::Insert(int index, const AnsiString &s)
{
    if (index >= 0 && index <= Count())
        fItems.insert(fItems.begin() + index, s);
}

void TStringList::Delete(int index)
{
    if (index >= 0 && index < Count())
        fItems.erase(fItems.begin() + index);
}

int TStringList::Compare(const AnsiString &a, const AnsiString &b) const
{
    return fCaseSensitive ? a.Compare(b) : a.CompareIC(b);
}

int TStringList::IndexOf(const AnsiString &s) const
{
    for (int i = 0; i < Count(); ++i)
        if (Compare(fItems[static_cast<size_t>(i)], s) == 0)
            return i;
    return -1;
}

void TStringList::Sort()
{
    std::stable_sort(fItems.begin(), fItems.end(),
                     [this](const AnsiString &a, const AnsiString &b) { return Compare(a, b) < 0; });
}
