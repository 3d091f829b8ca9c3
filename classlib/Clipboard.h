// TClipboard: the class library's clipboard, as far as text goes, on the
// system's clipboard through Qt. Texts are 8-bit in the system's ANSI code
// page with "\r\n" line breaks, as the class library hands them; on the
// system's clipboard they are Unicode with "\n" line breaks.
//
//   Clipboard()->SetAsText(Memo1->Lines->Text());
//   AnsiString text = Clipboard()->AsText();
//
// Use it on the GUI thread.
#pragma once

#include "AnsiString.h"

class TClipboard {
public:
    // The clipboard's text; empty when it holds none.
    AnsiString AsText() const;
    // Sets the text up to its first NUL byte.
    void SetAsText(const AnsiString &Text);
    // The text up to its first NUL byte; null empties the clipboard's text.
    void SetTextBuf(const char *Buffer);
    // Copies the text, cut to BufSize - 1 bytes, with a NUL after it;
    // returns the number of bytes copied without the NUL.
    int GetTextBuf(char *Buffer, int BufSize) const;
    // Whether the clipboard holds text.
    bool HasText() const;
    void Clear();
};

// The application's one clipboard object, made on first use.
TClipboard *Clipboard();
