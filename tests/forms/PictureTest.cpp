// A sample form drawn to PNG pictures in English and Chinese, under
// <build>/pictures/forms_test/SampleForm/, for a person to look at; the
// test checks that they are written and what the status box shows.

#include <string>

#include <QFileInfo>
#include <QImage>

#include <gtest/gtest.h>

#include "BitBtn.h"
#include "Edit.h"
#include "Form.h"
#include "FormPilot.h"
#include "FormsTestSupport.h"
#include "Label.h"
#include "Panel.h"

namespace {

class TSampleForm : public TForm {
    Q_OBJECT
public:
    explicit TSampleForm(TComponent *Owner) : TForm(Owner, &staticMetaObject, ":/forms_test/Sample.dfm") {}

    TLabel *DestLabel = Component<TLabel>("DestLabel");
    TBitBtn *CloseBut = Component<TBitBtn>("CloseBut");
    TPanel *Panel2 = Component<TPanel>("Panel2");
    TLabel *MsgLabel = Component<TLabel>("MsgLabel");
    TBitBtn *ScanBut = Component<TBitBtn>("ScanBut");
    TBitBtn *DestBut = Component<TBitBtn>("DestBut");
    TEdit *DestEdit = Component<TEdit>("DestEdit");

    // The status text centred in the white box, as the scanner shows it.
    void ShowStatus(const AnsiString &text)
    {
        MsgLabel->SetAutoSize(false);
        MsgLabel->SetWidth(Panel2->Width() - 8);
        MsgLabel->SetHeight(Panel2->Height() - 8);
        MsgLabel->SetCaption(text);
        MsgLabel->SetAutoSize(true);
        MsgLabel->SetTop((Panel2->Height() - MsgLabel->Height()) / 2);
        MsgLabel->SetLeft((Panel2->Width() - MsgLabel->Width()) / 2);
    }
};

using Pictures = formstest::FormsTest;

struct Language {
    const char *id;
    const char *picture;
    const char *caption, *scan, *close, *dest, *destLabel, *status;
};

// The Chinese texts are GB2312 bytes.
const Language kLanguages[] = {
    {"1033", "english", "Scanner", "Scan document", "Close", "Destination folder", "Destination folder :",
     "Scanner ready.\r\nPlease insert a document(s) to be scanned."},
    {"2052", "chinese", "\xC9\xA8\xC3\xE8\xC9\xE8\xB1\xB8", "\xC9\xA8\xC3\xE8\xCE\xC4\xB8\xE5", "\xB9\xD8\xB1\xD5",
     "\xC4\xBF\xB1\xEA\xCE\xC4\xBC\xFE\xBC\xD0", "\xC4\xBF\xB1\xEA\xCE\xC4\xBC\xFE\xBC\xD0:",
     "\xC9\xA8\xC3\xE8\xC9\xE8\xB1\xB8\xD7\xBC\xB1\xB8\xBE\xCD\xD0\xF7\r\n\xC7\xEB\xB2\xE5\xC8\xEB\xD2\xAA\xC9\xA8"
     "\xC3\xE8\xB5\xC4\xCE\xC4\xB8\xE5."},
};

TEST_F(Pictures, TheSampleFormInEnglishAndChinese)
{
    for (const Language &language : kLanguages) {
        SCOPED_TRACE(language.picture);
        SetLanguage(language.id);
        TSampleForm *form = new TSampleForm(Application);
        form->AfterConstruction();
        form->SetCaption(language.caption);
        form->ScanBut->SetCaption(language.scan);
        form->CloseBut->SetCaption(language.close);
        form->DestBut->SetCaption(language.dest);
        form->DestLabel->SetCaption(language.destLabel);
        form->ShowStatus(language.status);

        EXPECT_EQ(form->MsgLabel->ShownLines().size(), 2);
        EXPECT_EQ(form->MsgLabel->Left(), (362 - form->MsgLabel->Width()) / 2);
        EXPECT_EQ(form->MsgLabel->Top(), (47 - form->MsgLabel->Height()) / 2);

        const std::string path = classlib_testing::SavePicture(form, "forms_test/SampleForm", language.picture);
        ASSERT_FALSE(path.empty());
        const QImage picture(QString::fromStdString(path));
        EXPECT_EQ(picture.size(), QSize(426, 345));
        // The status box is white around its text.
        EXPECT_EQ(picture.pixelColor(27 + 5 + 2, 32 + 5 + 2), QColor(Qt::white));
        form->Free();
    }
}

} // namespace

#include "PictureTest.moc"
