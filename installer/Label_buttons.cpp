// The wizard's label buttons. Six of them have a button picture with a
// normal, hover and pressed look, kept in FHover; four are plain texts that
// only grow under the pointer. A release of any mouse button issues the
// label's command for the page showing.
#include "Main2.h"

namespace {

enum : unsigned char { kNormal = 0, kHover = 1, kPressed = 2 };

constexpr int kPictureLabelSize = 18;
constexpr int kPictureLabelGrown = 20;
constexpr int kSmallButtonSize = 12;
constexpr int kSmallButtonGrown = 14;
constexpr int kBrowseSize = 18;
constexpr int kBrowseGrown = 20;

void SetSenderFontSize(TObject *Sender, int size)
{
    if (TControl *control = qobject_cast<TControl *>(Sender))
        control->Font()->SetSize(size);
}

} // namespace

TImage *TForm2::ButtonPicture(int index)
{
    TImage *const pictures[6] = {Img1, Img2, Img3, Img4, Img5, Img6};
    return pictures[index];
}

void TForm2::ApplyLook(int index, TImage *look) { ButtonPicture(index)->SetPicture(look->Picture()); }

void TForm2::ButtonEnter(TObject *Sender, int index)
{
    if (FHover[index] == kHover)
        return;
    ApplyLook(index, ImgOver);
    FHover[index] = kHover;
    SetSenderFontSize(Sender, kPictureLabelGrown);
}

void TForm2::ButtonLeave(TObject *Sender, int index)
{
    if (FHover[index] == kNormal)
        return;
    ApplyLook(index, ImgOut);
    FHover[index] = kNormal;
    SetSenderFontSize(Sender, kPictureLabelSize);
}

void TForm2::ButtonDown(int index)
{
    if (FHover[index] == kPressed)
        return;
    ApplyLook(index, ImgDown);
    FHover[index] = kPressed;
}

void TForm2::ButtonUp(int index, const char *command)
{
    if (FHover[index] != kHover) {
        ApplyLook(index, ImgOver);
        FHover[index] = kHover;
    }
    HandleCommand(command, FPage);
}

// ---- Picture buttons ----------------------------------------------------------

void TForm2::LChap1MouseEnter(TObject *Sender) { ButtonEnter(Sender, 0); }
void TForm2::LChap1MouseLeave(TObject *Sender) { ButtonLeave(Sender, 0); }
void TForm2::SChap1MouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(0); }
void TForm2::LChap1MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(0, "SChap1"); }

void TForm2::LChap2MouseEnter(TObject *Sender) { ButtonEnter(Sender, 1); }
void TForm2::LChap2MouseLeave(TObject *Sender) { ButtonLeave(Sender, 1); }
void TForm2::LChap2MouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(1); }
void TForm2::LChap2MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(1, "SChap2"); }

void TForm2::LChap3MouseEnter(TObject *Sender) { ButtonEnter(Sender, 2); }
void TForm2::LChap3MouseLeave(TObject *Sender) { ButtonLeave(Sender, 2); }
void TForm2::LChap3MouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(2); }
void TForm2::LChap3MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(2, "SChap3"); }

void TForm2::LChap4MouseEnter(TObject *Sender) { ButtonEnter(Sender, 3); }
void TForm2::LChap4MouseLeave(TObject *Sender) { ButtonLeave(Sender, 3); }
void TForm2::LChap4MouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(3); }
void TForm2::LChap4MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(3, "SChap4"); }

void TForm2::LExit2MouseEnter(TObject *Sender) { ButtonEnter(Sender, 4); }
void TForm2::LExit2MouseLeave(TObject *Sender) { ButtonLeave(Sender, 4); }
void TForm2::LExit2MouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(4); }
void TForm2::LExit2MouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(4, "SExit2"); }

void TForm2::LContinueMouseEnter(TObject *Sender) { ButtonEnter(Sender, 5); }
void TForm2::LContinueMouseLeave(TObject *Sender) { ButtonLeave(Sender, 5); }
void TForm2::LContinueMouseDown(TObject *, TMouseButton, TShiftState, int, int) { ButtonDown(5); }
void TForm2::LContinueMouseUp(TObject *, TMouseButton, TShiftState, int, int) { ButtonUp(5, "SContinue"); }

// ---- Text buttons -----------------------------------------------------------------

void TForm2::LExitMouseEnter(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonGrown); }
void TForm2::LExitMouseLeave(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonSize); }
void TForm2::LExitMouseUp(TObject *, TMouseButton, TShiftState, int, int) { HandleCommand("SExit", FPage); }

void TForm2::LPrevMouseEnter(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonGrown); }
void TForm2::LPrevMouseLeave(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonSize); }
void TForm2::LPrevMouseUp(TObject *, TMouseButton, TShiftState, int, int) { HandleCommand("SPrev", FPage); }

void TForm2::LMenuMouseEnter(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonGrown); }
void TForm2::LMenuMouseLeave(TObject *Sender) { SetSenderFontSize(Sender, kSmallButtonSize); }
void TForm2::LMenuMouseUp(TObject *, TMouseButton, TShiftState, int, int) { HandleCommand("SMenu", FPage); }

// Browse rests at 18 pt once the pointer has been over it, not at the 14 pt
// of the form resource.
void TForm2::LBrowseMouseEnter(TObject *Sender) { SetSenderFontSize(Sender, kBrowseGrown); }
void TForm2::LBrowseMouseLeave(TObject *Sender) { SetSenderFontSize(Sender, kBrowseSize); }
void TForm2::LBrowseMouseUp(TObject *, TMouseButton, TShiftState, int, int) { HandleCommand("SBrowse", FPage); }

// Not bound to any component: the sender's name is the command.
void TForm2::SChap1MouseUp(TObject *Sender, TMouseButton, TShiftState, int, int)
{
    if (TComponent *component = qobject_cast<TComponent *>(Sender))
        HandleCommand(component->Name(), FPage);
}
