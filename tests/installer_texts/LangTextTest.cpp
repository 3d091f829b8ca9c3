// The wizard's text table: the texts it must hold byte for byte, the cells
// left to translation, the stored order and the lookup's edge cases.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Gb2312Text.h"
#include "Lang_text.h"

namespace {

struct ExpectedRow {
    int Id;
    const char *English;
    const char *French;  // null: translated freely, ASCII only
    const char *Chinese; // UTF-8; null: translated freely
};

// Every English text, and the French and Chinese texts that are given.
const ExpectedRow kExpected[] = {
    {1, "Prev",
     nullptr,
     nullptr},
    {2, "Menu",
     "Menu",
     "菜单"},
    {3, "Exit",
     nullptr,
     nullptr},
    {4, "SELVIO HOMEBAY",
     "HOMEBAY SELVIO",
     "SELVIO HOMEBAY"},
    {5, "Install Products",
     nullptr,
     nullptr},
    {6, "Uninstall Products",
     nullptr,
     nullptr},
    {7, "View User Guide",
     nullptr,
     nullptr},
    {8, "Browse Contents",
     nullptr,
     nullptr},
    {9, "Install Drivers",
     nullptr,
     nullptr},
    {10, "Install of Selvio HOMEBAY for ARV-A700.\r\n(Needs at least 10Mo).",
     "Installation du Homebay Selvio ARV-A700.\r\n(Minimum 10Mo)",
     "安装程序将为您安装传真机USB打印驱动\r\n及相关程序至少\r\n(需要10M空间)"},
    {11, "Uninstall Drivers",
     nullptr,
     nullptr},
    {12, "Before to continue the installation, be sure that the USB Fax Machine is unplugged to the computer.",
     "Avant de continuer l'insallation, verifiez que l'imprimante est bien debranchee",
     "在程序安装前，请确认传真机的USB线缆未连接至电脑"},
    {13, "Continue",
     nullptr,
     nullptr},
    {14, "Installation of Printer Driver",
     nullptr,
     nullptr},
    {15, "Settings of the Printer Driver",
     nullptr,
     nullptr},
    {16, "Installation of USB Driver",
     nullptr,
     nullptr},
    {17, "Setting of Windows Registry",
     nullptr,
     nullptr},
    {18, "Installation Successful",
     nullptr,
     nullptr},
    {19, "Uninstall Printer Driver",
     nullptr,
     nullptr},
    {20, "Uninstall USB Driver",
     nullptr,
     nullptr},
    {21, "Remove Installation files",
     nullptr,
     nullptr},
    {22, "Clean Windows Registry",
     nullptr,
     nullptr},
    {23, "Uninstallation Successful.",
     nullptr,
     nullptr},
    {24, "You can plug your USB fax\r\nfor an automatic detection.",
     "Vous pouvez brancher votre Fax USB\r\npour une detection automatique.",
     "请将传真机的USB端口通过线缆\r\n与电脑连接"},
    {25, "USB Fax Printer detected",
     nullptr,
     nullptr},
    {26, "You need to restart your computer,\r\n and restart the installation.\r\n If the problem perciste, please contact your administrator.",
     "",
     "请重启电脑并再次打开安装程序,\r\n 如果问题仍然出现，请与系统管理员联系"},
    {27, "Installation failed.",
     nullptr,
     nullptr},
    {28, "Uninstallation failed.",
     nullptr,
     nullptr},
    {29, "The driver is still in use.\r\nPlease, reboot your computer and restart the unistallation.\r\nIf the problem perciste, contact your administrator.",
     "Le driver d'impression est en cours d'utilisation.\r\nRedemarrez votre ordinateur avant de desinstaller le Selvio Tool.\r\nSi le probleme perciste, contacter votre revendeur.",
     "程序在使用中请重启电脑并再次打开卸载程序,\r\n如果问题仍然出现，请与系统管理员联系"},
    {30, "Installation finished",
     nullptr,
     nullptr},
    {31, "Choose your destination folder:",
     nullptr,
     nullptr},
    {32, "Browse",
     nullptr,
     nullptr},
    {33, "Directory does not exists.\r\nDo you want to create it ?",
     nullptr,
     nullptr},
    {34, "Creation of the directory failed.",
     nullptr,
     nullptr},
    {35, "Error :",
     nullptr,
     nullptr},
    {36, "Error: 10",
     "Erreur: 10",
     ""},
    {37, "Error: 13",
     "Erreur: 13",
     ""},
    {38, "Error: 101",
     "Erreur: 101",
     ""},
    {39, "Error: 102",
     "Erreur: 102",
     ""},
    {40, "Error: 103",
     "Erreur: 103",
     ""},
    {41, "Error: 104",
     "Erreur: 104",
     ""},
    {42, "Error: 105",
     "Erreur: 105",
     ""},
    {43, "Error: 106",
     "Erreur: 106",
     ""},
    {44, "Error: 108",
     "Erreur: 108",
     ""},
    {45, "Error: 109",
     "Erreur: 109",
     ""},
    {46, "Error: 110",
     "Erreur: 110",
     ""},
    {47, "Error: 111",
     "Erreur: 111",
     ""},
    {48, "Error: 112",
     "Erreur: 112",
     ""},
    {49, "Error: 113",
     "Erreur: 113",
     ""},
    {50, "Error: 114",
     "Erreur: 114",
     ""},
    {51, "Error: 115",
     "Erreur: 115",
     ""},
    {52, "System Directory not found",
     nullptr,
     nullptr},
    {53, "Monitor Failed",
     "",
     ""},
    {54, "Error: 11 - File copy access failed.",
     "",
     nullptr},
    {55, "Files System are already in use.\r\nTry to uninstall a previous version of the driver before the installation.",
     "",
     nullptr},
    {56, "Failed installation of Monitor",
     nullptr,
     nullptr},
    {57, "Failed installation of Port",
     nullptr,
     nullptr},
    {58, "Failed to access Windows Registry.",
     nullptr,
     nullptr},
    {59, "Failed to find last port created.",
     nullptr,
     nullptr},
    {60, "Printer Driver Installation",
     nullptr,
     nullptr},
    {61, "Error : Fax Printer already exist.",
     nullptr,
     nullptr},
    {62, "Please, uninstall the previous Fax Printer Driver before to start the new installation.",
     nullptr,
     nullptr},
    {63, "USB BUS Driver",
     nullptr,
     nullptr},
    {64, "Failed installation USB BUS Driver",
     "",
     nullptr},
    {65, "USB BUS Driver already exist. Please, uninstall the previous driver before to start the new installation",
     "USB BUS Driver already exist. Please, uninstall the previous driver before to start the new installation",
     "USB驱动已经安装过，在新的程序安装前请先卸载先前版本的程序"},
    {66, "Installation USB BUS OK",
     "Installation USB BUS OK",
     "USB驱动安装成功"},
    {67, "USB PORT Driver",
     "",
     nullptr},
    {68, "Failed installation USB PORT Driver.",
     "",
     nullptr},
    {69, "USB PORT Driver already exist. Please, uninstall the previous driver before to start the new installation",
     "USB PORT Driver already exist. Please, uninstall the previous driver before to start the new installation",
     "USB端口驱动已经安装过，在新的程序安装前请先卸载先前版本的程序"},
    {70, "Please, unplug your Fax Printer before to continue the uninstallation.",
     "Merci de debrancher votre Imprimante Fax avant de continuer la desinstallation.",
     "在程序卸载前，请确认KV8-M传真机的USB线缆未连接至电脑"},
    {71, "DeletePrinter",
     "",
     nullptr},
    {72, "Delete port failed",
     "Delete port failed",
     "删除端口失败"},
    {73, "EnumPort Failed",
     "EnumPort failed",
     "检测端口失败"},
    {74, "DeleteMonitor Failed",
     "DeleteMonitor Failed",
     "删除检测失败"},
    {75, "Failed to find USB BUS OEM INF created.",
     "",
     nullptr},
    {76, "Failed to find USB PORT OEM INF created.",
     "",
     nullptr},
    {77, "Installation of the printer failed.",
     nullptr,
     nullptr},
    {78, "Installation of the USB driver failed.",
     nullptr,
     nullptr},
    {79, "Error: 12 - Fax Printer detected",
     "Error: 12 - Imprimante Fax detectee",
     "错误:12-已检测到打印机"},
    {80, "Uninstall printer failed.",
     nullptr,
     nullptr},
    {81, "Error during access to Command Registry value",
     nullptr,
     nullptr},
    {82, "Please select the installation folder.",
     nullptr,
     nullptr},
    {83, "Path :",
     nullptr,
     nullptr},
    {84, "Directories :",
     nullptr,
     nullptr},
};

const int kLanguages[] = {kLangEnglish, kLangFrench, kLangChinese};

std::string Text(int id, int language)
{
    return LangText(static_cast<unsigned char>(id), language).str();
}

TEST(LangTextTable, RowsAreStoredInTheirOrderThenTheEndRecord)
{
    std::vector<int> order;
    for (int id = 1; id <= 37; ++id)
        order.push_back(id);
    for (int id : {52, 38, 53, 54, 55, 39, 56, 40, 57, 41, 58, 42, 59, 43, 60, 61, 62, 44, 63, 45, 64, 65, 66,
                   46, 67, 47, 68, 69, 70, 48, 49, 71, 50, 72, 51})
        order.push_back(id);
    for (int id = 73; id <= 84; ++id)
        order.push_back(id);

    ASSERT_EQ(LangTextTableSize, 85);
    for (int i = 0; i < 84; ++i) {
        const TLangTextRow &row = LangTextTable[i];
        EXPECT_EQ(row.Id, order[i]) << "row " << i;
        EXPECT_TRUE(row.English && row.French && row.Chinese) << "id " << int(row.Id);
    }
    const TLangTextRow &end = LangTextTable[84];
    EXPECT_EQ(end.Id, 0);
    ASSERT_TRUE(end.English && end.French && end.Chinese);
    EXPECT_STREQ(end.English, "");
    EXPECT_STREQ(end.French, "");
    EXPECT_STREQ(end.Chinese, "");
}

TEST(LangTextTable, GivenTextsByteForByte)
{
    ASSERT_EQ(sizeof(kExpected) / sizeof(kExpected[0]), 84u);
    for (const ExpectedRow &row : kExpected) {
        EXPECT_EQ(Text(row.Id, kLangEnglish), row.English) << "id " << row.Id;
        if (row.French) {
            EXPECT_EQ(Text(row.Id, kLangFrench), row.French) << "id " << row.Id;
        }
        if (row.Chinese) {
            const std::string gb2312 = testsupport::Gb2312(row.Chinese);
            ASSERT_EQ(gb2312.empty(), *row.Chinese == '\0') << "id " << row.Id << " is not GB2312 text";
            EXPECT_EQ(Text(row.Id, kLangChinese), gb2312) << "id " << row.Id;
        }
    }
}

// The cells that are not given hold a translation: French in plain ASCII,
// Chinese as GB2312 bytes that carry Chinese characters.
TEST(LangTextTable, TranslatedCellsAreFilled)
{
    for (const ExpectedRow &row : kExpected) {
        if (!row.French) {
            const std::string french = Text(row.Id, kLangFrench);
            EXPECT_FALSE(french.empty()) << "id " << row.Id;
            for (unsigned char c : french)
                EXPECT_LT(c, 0x80) << "id " << row.Id << " byte " << int(c);
        }
        if (!row.Chinese) {
            const std::string chinese = Text(row.Id, kLangChinese);
            std::string utf8;
            EXPECT_TRUE(testsupport::Utf8FromGb2312(chinese, utf8)) << "id " << row.Id;
            EXPECT_EQ(testsupport::Gb2312(utf8), chinese) << "id " << row.Id;
            bool wide = false;
            for (unsigned char c : chinese)
                wide = wide || c >= 0xA1;
            EXPECT_TRUE(wide) << "id " << row.Id << ": " << utf8;
        }
    }
}

TEST(LangTextTable, IdsOutsideTheTableGiveEmptyTexts)
{
    for (int language : kLanguages) {
        EXPECT_EQ(Text(0, language), "") << language;
        for (int id = 85; id <= 255; ++id)
            EXPECT_EQ(Text(id, language), "") << "id " << id << " in " << language;
    }
}

// No fallback to English: an empty cell stays empty.
TEST(LangTextTable, EmptyCellsGiveEmptyTexts)
{
    for (int id : {26, 53, 54, 55, 64, 67, 68, 71, 75, 76}) {
        EXPECT_EQ(Text(id, kLangFrench), "") << "id " << id;
        EXPECT_NE(Text(id, kLangEnglish), "") << "id " << id;
    }
    for (int id = 36; id <= 51; ++id) {
        EXPECT_EQ(Text(id, kLangChinese), "") << "id " << id;
        EXPECT_EQ(Text(id, kLangFrench), "Erreur: " + Text(id, kLangEnglish).substr(7)) << "id " << id;
    }
    EXPECT_EQ(Text(53, kLangChinese), "");
}

// Until a flag is clicked the wizard may hold any system language: every
// text is then empty.
TEST(LangTextTable, OtherLanguagesGiveEmptyTexts)
{
    for (int language : {0, 1031, 1028, 3076, 2057, 4100, -1033, 65535}) {
        for (int id = 0; id <= 255; ++id)
            EXPECT_EQ(Text(id, language), "") << "id " << id << " in " << language;
    }
}

TEST(LangTextTable, FolderQuestionKeepsItsWording)
{
    EXPECT_EQ(Text(33, kLangEnglish), "Directory does not exists.\r\nDo you want to create it ?");
    EXPECT_EQ(Text(26, kLangEnglish),
              "You need to restart your computer,\r\n and restart the installation.\r\n If the problem perciste, "
              "please contact your administrator.");
}

} // namespace
