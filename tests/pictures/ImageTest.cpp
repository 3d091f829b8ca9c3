// The image component: pictures named in a form resource, where and how it
// draws them (stretched, in proportion, centred, transparent), a picture
// given by another image, and its click.

#include <string>

#include <QImage>
#include <QPainter>
#include <QWidget>

#include <gtest/gtest.h>

#include "Application.h"
#include "Bitmap.h"
#include "Exceptions.h"
#include "Form.h"
#include "Image.h"
#include "JpegImage.h"
#include "Picture.h"

namespace {

class TImagesForm : public TForm {
    Q_OBJECT
public:
    explicit TImagesForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/pictures-test/Images.dfm") {}

    TImage *Backdrop = Component<TImage>("Backdrop");
    TImage *Button1 = Component<TImage>("Button1");
    TImage *Squares = Component<TImage>("Squares");
    TImage *Sized = Component<TImage>("Sized");
    int Clicks = 0;

    Q_INVOKABLE void Button1Click(TObject *Sender)
    {
        if (Sender == Button1)
            ++Clicks;
    }
};

class Images : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application->Initialize();
        Application->CreateForm(&Form);
        ASSERT_NE(Form, nullptr);
    }
    void TearDown() override { Application.Reset(); }

    // The form's client area as it is drawn.
    QImage Drawn() const { return Form->Widget()->grab().toImage().convertToFormat(QImage::Format_RGB32); }

    TImagesForm *Form = nullptr;
};

unsigned Rgb(const QImage &image, int x, int y) { return image.pixel(x, y) & 0xFFFFFFu; }

TEST_F(Images, TheResourceNamesEachPictureByFile)
{
    EXPECT_NE(dynamic_cast<TJPEGImage *>(Form->Backdrop->Picture()->Graphic()), nullptr);
    EXPECT_EQ(Form->Backdrop->Picture()->Width(), 120);
    EXPECT_EQ(Form->Backdrop->PictureFileName(), "backdrop.jpg");
    EXPECT_TRUE(Form->Backdrop->Stretch());
    ASSERT_NE(dynamic_cast<TBitmap *>(Form->Button1->Picture()->Graphic()), nullptr);
    EXPECT_TRUE(Form->Button1->Transparent());
    EXPECT_TRUE(Form->Button1->Picture()->Graphic()->Transparent()) << "the image makes its bitmap transparent";
    EXPECT_TRUE(Form->Button1->Proportional());
    EXPECT_TRUE(Form->Squares->Center());
    EXPECT_FALSE(Form->Squares->Visible());
    EXPECT_EQ(Form->Sized->Width(), 44) << "AutoSize takes the picture's size";
    EXPECT_EQ(Form->Sized->Height(), 26);
}

TEST_F(Images, DestRectFollowsStretchProportionalAndCenter)
{
    // A 40 x 20 picture in images of several sizes.
    struct Case {
        const char *what;
        int width, height;
        bool stretch, proportional, center;
        QRect rect;
    } cases[] = {
        {"as it is", 100, 50, false, false, false, QRect(0, 0, 40, 20)},
        {"centred", 100, 50, false, false, true, QRect(30, 15, 40, 20)},
        {"stretched", 100, 50, true, false, false, QRect(0, 0, 100, 50)},
        {"stretched in proportion, width bound", 100, 80, true, true, false, QRect(0, 0, 100, 50)},
        {"stretched in proportion, height bound", 100, 30, true, true, false, QRect(0, 0, 60, 30)},
        {"stretched in proportion, centred", 100, 30, true, true, true, QRect(20, 0, 60, 30)},
        {"proportional only: not enlarged", 100, 80, false, true, false, QRect(0, 0, 40, 20)},
        {"proportional only: made smaller", 30, 30, false, true, true, QRect(0, 7, 30, 15)},
        {"larger than the image, centred", 20, 10, false, false, true, QRect(-10, -5, 40, 20)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        TImage *image = Form->Squares;
        image->SetBounds(0, 0, c.width, c.height);
        image->SetStretch(c.stretch);
        image->SetProportional(c.proportional);
        image->SetCenter(c.center);
        image->Picture()->LoadFromFile(":/pictures-test/wide.bmp");
        EXPECT_EQ(image->DestRect(), c.rect);
    }
}

TEST_F(Images, TransparentBitmapsShowWhatLiesBelow)
{
    // Button1's 44 x 26 picture is drawn 45 x 27 (in proportion) from
    // 20, 20; its magenta corners are the transparent colour, its middle a
    // green button.
    EXPECT_EQ(Form->Button1->DestRect(), QRect(0, 0, 45, 27));
    const QImage drawn = Drawn();
    EXPECT_NE(Rgb(drawn, 20, 20), 0xFF00FFu) << "the backdrop shows through";
    EXPECT_EQ(Rgb(drawn, 20 + 22, 20 + 13), 0x28A03Cu) << "the button's own pixels are drawn";

    Form->Button1->SetTransparent(false);
    EXPECT_EQ(Rgb(Drawn(), 20, 20), 0xFF00FFu) << "opaque, the corner is magenta";
}

TEST_F(Images, APictureAssignedFromAnotherImageIsACopy)
{
    Form->Squares->SetBounds(0, 0, 2, 2);
    Form->Button1->Picture()->Assign(Form->Squares->Picture());
    EXPECT_EQ(Form->Button1->Picture()->Width(), 2);
    EXPECT_TRUE(Form->Button1->Picture()->Graphic()->Transparent()) << "the image's Transparent goes on";
    EXPECT_FALSE(Form->Squares->Picture()->Graphic()->Transparent());
    Form->Squares->Picture()->LoadFromFile(":/pictures-test/backdrop.jpg");
    EXPECT_EQ(Form->Button1->Picture()->Width(), 2);
}

TEST_F(Images, ClickRunsTheHandler)
{
    Form->Button1->Click();
    EXPECT_EQ(Form->Clicks, 1);
}

} // namespace

#include "ImageTest.moc"
