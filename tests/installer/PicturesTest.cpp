// Pictures of the wizard's pages and of the message window in the three
// languages, for a person to look at: <build>/pictures/installer_tests/...
#include <gtest/gtest.h>

#include <QImage>
#include <QTimer>

#include <string>

#include "FormPilot.h"
#include "Message.h"
#include "WizardFixture.h"

namespace installer_test {
namespace {

const char *LanguageName(int language)
{
    return language == kEnglish ? "english" : language == kFrench ? "french" : "chinese";
}

class PicturesTest : public WizardTest, public testing::WithParamInterface<int> {};

TEST_P(PicturesTest, PagesAndMessageWindow)
{
    const int language = GetParam();
    RegisterMonitor();
    CreateWizard(language);
    TForm2 *w = Wizard();
    w->Show();
    for (unsigned page : {0u, 1u, 3u, 4u, 9u, 10u, 11u, 16u, 17u, 18u}) {
        w->ShowPage(page);
        if (page == 9) {
            w->LChap4->SetCaption("...");
            w->LChap4->SetVisible(true);
        }
        const std::string name = std::string(LanguageName(language)) + "-page" + (page < 10 ? "0" : "") +
                                 std::to_string(page);
        const std::string path = classlib_testing::SavePicture(w, "installer_tests/Wizard", name);
        ASSERT_FALSE(path.empty()) << name;
        const QImage picture(QString::fromStdString(path));
        EXPECT_EQ(picture.width(), 568) << name;
        EXPECT_EQ(picture.height(), 442) << name;
    }

    std::string path;
    QTimer::singleShot(0, [&] {
        path = classlib_testing::SavePicture(Message_Form, "installer_tests/Wizard",
                                             std::string(LanguageName(language)) + "-message");
        Message_Form->Close();
    });
    Message_Form->Display(w->GetLangText(61), w->GetLangText(62));
    ASSERT_FALSE(path.empty());
    const QImage picture(QString::fromStdString(path));
    EXPECT_EQ(picture.width(), 353);
    EXPECT_EQ(picture.height(), 225);
}

INSTANTIATE_TEST_SUITE_P(Languages, PicturesTest, testing::Values(kEnglish, kFrench, kChinese),
                         [](const testing::TestParamInfo<int> &info) {
                             return std::string(LanguageName(info.param));
                         });

// What the wizard shows before a flag is clicked when the system's language
// is none of its three.
TEST_F(WizardTest, PictureWithoutALanguage)
{
    CreateWizard(1031);
    Wizard()->Show();
    EXPECT_FALSE(classlib_testing::SavePicture(Wizard(), "installer_tests/Wizard", "no-language").empty());
}

} // namespace
} // namespace installer_test
