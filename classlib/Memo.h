// TMemo: a text box of several lines. Lines is a TStrings view of its text
// (each change shows at once); ScrollBars puts scroll bars on it, a
// horizontal one turning word wrap off.
#pragma once

#include <memory>

#include "WinControl.h"

class TMemo : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(TStrings *Lines READ Lines)
    Q_PROPERTY(ClassLibTypes::TScrollStyle ScrollBars READ ScrollBars WRITE SetScrollBars)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_PROPERTY(ClassLibTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
public:
    explicit TMemo(TComponent *AOwner);
    ~TMemo() override;

    TStrings *Lines() const { return FLines.get(); }
    AnsiString GetText() const override;
    void SetText(const AnsiString &Text) override;
    TScrollStyle ScrollBars() const { return FScrollBars; }
    void SetScrollBars(TScrollStyle ScrollBars);
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool ReadOnly);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool WordWrap);
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle BorderStyle);

    void Clear();
    void SelectAll();
    // The selected text to the system clipboard.
    void CopyToClipboard();
    // The selected text, in the ANSI code page.
    AnsiString SelText() const;

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent &Event) { FOnChange = Event; }

protected:
    void FontChanged() override;
    void ColorChanged() override;

private:
    void UpdateWrapping();

    std::unique_ptr<TStrings> FLines;
    TScrollStyle FScrollBars = ssNone;
    bool FReadOnly = false;
    bool FWordWrap = true;
    TBorderStyle FBorderStyle = bsSingle;
    TNotifyEvent FOnChange;
};
