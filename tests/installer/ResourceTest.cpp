// The wizard's form resource: the place, size, font, colour, cursor and
// flags of every component, as the form comes up before any page is drawn
// (a system language the wizard has no texts for draws none).
#include <gtest/gtest.h>

#include <string>

#include "Picture.h"
#include "WizardFixture.h"

namespace installer_test {
namespace {

constexpr TColor kDarkBlue = static_cast<TColor>(8866311);

struct LabelLook {
    const char *name;
    int left, top; // the right edge instead of left for right-aligned labels
    int points, pixels;
    TAlignment alignment;
    TCursor cursor;
};

TEST_F(WizardTest, FormResourceHoldsThePlacesSizesAndFonts)
{
    CreateWizard(1031);
    TForm2 *w = Wizard();
    EXPECT_EQ(w->ClientWidth(), 568);
    EXPECT_EQ(w->ClientHeight(), 442);
    EXPECT_EQ(w->BorderStyle(), bsNone);
    EXPECT_EQ(w->Position(), poScreenCenter);
    EXPECT_FALSE(w->Scaled());
    EXPECT_TRUE(w->Visible() || !w->Showing());
    EXPECT_EQ(w->Font()->Name(), "MS Sans Serif");
    EXPECT_EQ(w->Font()->Height(), -11);

    EXPECT_EQ(w->Panel1->Align(), alClient);
    EXPECT_EQ(w->Panel1->BorderWidth(), 4);
    EXPECT_EQ(w->Panel1->Color(), clMenuBar);
    for (TImage *background : {w->IHomeBg, w->IBg}) {
        EXPECT_EQ(background->BoundsRect(), QRect(5, 5, 554, 428)) << background->Name();
        EXPECT_TRUE(background->Stretch());
        EXPECT_TRUE(background->Center());
        EXPECT_EQ(background->Picture()->Width(), 685);
        EXPECT_EQ(background->Picture()->Height(), 428);
    }

    const LabelLook labels[] = {
        {"LTitle", 67, 55, 20, -27, taLeftJustify, crDefault},
        {"LChap1", 104, 130, 18, -24, taLeftJustify, crDefault},
        {"LChap2", 104, 180, 18, -24, taLeftJustify, crDefault},
        {"LChap3", 104, 230, 18, -24, taLeftJustify, crDefault},
        {"LChap4", 104, 280, 18, -24, taLeftJustify, crDefault},
        {"LContinue", 221, 336, 18, -24, taLeftJustify, crDefault},
        {"LExit2", 272, 304, 18, -24, taLeftJustify, crDefault},
        {"LExit", 547, 9, 12, -16, taRightJustify, crHandPoint},
        {"LPrev", 9, 408, 12, -16, taLeftJustify, crHandPoint},
        {"LMenu", 551, 407, 12, -16, taRightJustify, crHandPoint},
        {"LMidText", 52, 192, 14, -19, taCenter, crDefault},
        {"LBrowse", 395, 263, 14, -19, taLeftJustify, crHandPoint},
    };
    for (const LabelLook &look : labels) {
        SCOPED_TRACE(look.name);
        TLabel *label = qobject_cast<TLabel *>(w->FindComponent(look.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->Parent(), w->Panel1);
        const int edge = look.alignment == taRightJustify ? label->Left() + label->Width() : label->Left();
        EXPECT_EQ(edge, look.left);
        EXPECT_EQ(label->Top(), look.top);
        EXPECT_EQ(label->Font()->Size(), look.points);
        EXPECT_EQ(label->Font()->Height(), look.pixels);
        EXPECT_EQ(label->Font()->Name(), "Arial");
        EXPECT_EQ(label->Font()->Style(), TFontStyles() << fsBold << fsItalic);
        EXPECT_EQ(label->Font()->Color(), kDarkBlue);
        EXPECT_EQ(label->Font()->Charset(), ANSI_CHARSET);
        EXPECT_EQ(label->Alignment(), look.alignment);
        EXPECT_EQ(label->Cursor(), look.cursor);
        EXPECT_TRUE(label->Transparent());
        EXPECT_EQ(label->AutoSize(), std::string(look.name) != "LMidText");
    }
    EXPECT_EQ(w->LMidText->BoundsRect(), QRect(52, 192, 457, 113));
    EXPECT_TRUE(w->LMidText->WordWrap());

    const struct {
        TImage *image;
        QRect place;
    } pictures[] = {{w->Img1, {52, 130, 49, 27}}, {w->Img2, {52, 180, 49, 27}},  {w->Img3, {52, 230, 49, 27}},
                    {w->Img4, {52, 281, 49, 27}}, {w->Img6, {165, 338, 49, 27}}, {w->Img5, {211, 305, 49, 27}}};
    for (const auto &p : pictures) {
        EXPECT_EQ(p.image->BoundsRect(), p.place) << p.image->Name();
        EXPECT_TRUE(p.image->Stretch() && p.image->Proportional() && p.image->Transparent()) << p.image->Name();
        EXPECT_EQ(p.image->Picture()->Width(), 88) << p.image->Name();
        EXPECT_EQ(p.image->Picture()->Height(), 52) << p.image->Name();
    }
    for (TImage *look : {w->ImgOut, w->ImgOver, w->ImgDown}) {
        EXPECT_FALSE(look->Visible()) << look->Name();
        EXPECT_EQ(look->Picture()->Width(), 88) << look->Name();
    }

    EXPECT_EQ(w->EPath->BoundsRect(), QRect(104, 265, 281, 21));
    EXPECT_TRUE(w->EPath->ReadOnly());
    EXPECT_EQ(w->EPath->Font()->Name(), "MS Sans Serif");

    const struct {
        TImage *flag;
        int left, width;
        TBevel *bevel;
        QRect frame;
        TBevelStyle style;
    } flags[] = {{w->Img_CN, 200, 48, w->B_CN, {197, 405, 32, 24}, bsLowered},
                 {w->Img_FR, 264, 48, w->B_FR, {260, 404, 33, 25}, bsRaised},
                 {w->Img_UK, 328, 64, w->B_UK, {324, 405, 34, 24}, bsRaised}};
    for (const auto &f : flags) {
        EXPECT_EQ(f.flag->BoundsRect(), QRect(f.left, 408, 25, 17)) << f.flag->Name();
        EXPECT_TRUE(f.flag->Stretch()) << f.flag->Name();
        EXPECT_EQ(f.flag->Picture()->Width(), f.width) << f.flag->Name();
        EXPECT_EQ(f.flag->Picture()->Height(), 33) << f.flag->Name();
        EXPECT_EQ(f.bevel->BoundsRect(), f.frame) << f.bevel->Name();
        EXPECT_EQ(f.bevel->Style(), f.style) << f.bevel->Name();
    }

    EXPECT_EQ(w->ProgressBar1->BoundsRect(), QRect(48, 112, 449, 17));
    EXPECT_EQ(w->ProgressBar1->Min(), 0);
    EXPECT_EQ(w->ProgressBar1->Max(), 100);
    EXPECT_FALSE(w->ProgressBar1->Visible());
    EXPECT_FALSE(w->Timer1->Enabled());
    EXPECT_EQ(w->Timer1->Interval(), 500);
    EXPECT_FALSE(w->Timer2->Enabled());
    EXPECT_EQ(w->Timer2->Interval(), 1000);
    EXPECT_FALSE(w->Timer3->Enabled());
    EXPECT_EQ(w->Timer3->Interval(), 1000);
}

// The bar is never shown; it follows an install run all the same.
TEST_F(WizardTest, HiddenProgressBarFollowsTheInstallPages)
{
    CreateWizard(kEnglish);
    TForm2 *w = Wizard();
    w->ShowPage(4);
    EXPECT_TRUE(w->Timer3->Enabled());
    w->Timer3Timer(w->Timer3);
    EXPECT_EQ(w->ProgressBar1->Position(), 1);
    const struct {
        unsigned page;
        int position;
    } steps[] = {{5, 25}, {6, 50}, {7, 75}, {8, 100}};
    for (const auto &s : steps) {
        w->ShowPage(s.page);
        EXPECT_EQ(w->ProgressBar1->Position(), s.position);
        EXPECT_FALSE(w->ProgressBar1->Visible());
    }
    EXPECT_FALSE(w->Timer3->Enabled());
}

} // namespace
} // namespace installer_test
