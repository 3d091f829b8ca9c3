// TEdit: a one-line text box. Text is the class library's 8-bit text in the
// ANSI code page; what the user types comes back in it. OnChange runs on
// every change of the text, typed or set.
#pragma once

#include "WinControl.h"

class TEdit : public TWinControl {
    Q_OBJECT
    Q_PROPERTY(AnsiString Text READ Text WRITE SetText)
    Q_PROPERTY(bool ReadOnly READ ReadOnly WRITE SetReadOnly)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE SetMaxLength)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE SetAutoSize)
    Q_PROPERTY(ClassLibTypes::TFormBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(TNotifyEvent OnChange READ OnChange WRITE SetOnChange)
public:
    explicit TEdit(TComponent *AOwner);

    AnsiString Text() const { return GetText(); }
    AnsiString GetText() const override;
    void SetText(const AnsiString &Text) override;
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool ReadOnly);
    int MaxLength() const { return FMaxLength; }
    void SetMaxLength(int MaxLength);
    bool AutoSize() const { return FAutoSize; }
    void SetAutoSize(bool AutoSize) { FAutoSize = AutoSize; }
    TBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle BorderStyle);

    void Clear() { SetText(AnsiString()); }
    void SelectAll();

    TNotifyEvent OnChange() const { return FOnChange; }
    void SetOnChange(const TNotifyEvent &Event) { FOnChange = Event; }

protected:
    void FontChanged() override;
    void ColorChanged() override;

private:
    bool FReadOnly = false;
    int FMaxLength = 0;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    TNotifyEvent FOnChange;
};
