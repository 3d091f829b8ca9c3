// The scanner's message table, row by row, byte for byte: the English texts
// as written (typos and lone carriage returns included) and the Chinese
// texts as GB2312 bytes.
#include <gtest/gtest.h>

#include <string>

#include "Gb2312Text.h"
#include "Messages.h"

namespace {

constexpr int kEnglish = 1033;
constexpr int kChinese = 2052;

struct ExpectedRow {
    const char *English;
    const char *Chinese; // UTF-8
};

// What the program must hold, row n for id n.
const ExpectedRow kExpected[] = {
    {"",
     ""},
    {"No scanner detected.\r\nPlease check your USB connection.",
     "未发现扫描设备.\r\n请检查USB连接."},
    {"Nothing to print.",
     "当前无打印任务"},
    {"No Connection.\r\nPlease check your USB connection.",
     "未连接\r\n请检查USB连接."},
    {"Scanner Connection Error.\r\nPlease check your USB connection.",
     "扫描设备连接出错.\r\n请检查USB连接."},
    {"File Format unknown.\r\nIf this error persists, please contact the technical support from sales organization or manufacturer.",
     "未知文档格式.\r\n如果此错误持续出现,请联系销售商或制造商获取更多\r\n的技术支持."},
    {"Transmission error.\r\nPlease check your USB connection.",
     "数据传送错误.\r\n请检查USB连接."},
    {"Scanner not ready.\r\nPlease check your USB connection.",
     "扫描设备未准备就绪.\r\n请检查USB连接."},
    {"Scanner ready.\r\nPlease insert a document(s) to be scanned.",
     "扫描设备准备就绪\r\n请插入要扫描的文稿."},
    {"Scanner not ready.\r\nPlease check your device LCD message for more details.",
     "扫描设备未准备就绪.\r\n请检查LCD显示屏以获取更多提示信息."},
    {"Scanner busy.\r\nPlease check your device LCD message for more details.",
     "扫描设备繁忙.\r请检查LCD显示屏以获取更多提示信息."},
    {"Scanner error.\r\nPlease check your device LCD message for more details.",
     "扫描任务出错.\r\n请检查LCD显示屏以获取更多提示信息."},
    {"Scanner not connected.\r\nPlease check your USB connection.",
     "扫描设备未连接.\r\n请检查USB连接."},
    {"Document ready for scan.",
     "扫描文稿准备就绪."},
    {"Scanning in progress.",
     "扫描任务进行中."},
    {"Document scanned.",
     "扫描任务已完成."},
    {"",
     ""},
    {"Scanner power off.",
     "扫描设备已关机"},
    {"Scanner error.\r\nFailed durring scan transfer",
     "扫描任务出错.\r\n扫描数据传输失败."},
    {"Scanner",
     "扫描设备"},
    {"Scan document",
     "扫描文稿"},
    {"Close",
     "关闭"},
    {"Destination folder",
     "目标文件夹"},
    {"Destination folder :",
     "目标文件夹:"},
    {"Loading...",
     "请稍候..."},
    {"Please wait.\r\nPrinting on going.",
     ""},
    {"",
     ""},
};
constexpr int kRows = sizeof(kExpected) / sizeof(kExpected[0]);

std::string Expected(int id, int language)
{
    return language == kChinese ? testsupport::Gb2312(kExpected[id].Chinese) : kExpected[id].English;
}

class ScannerMessageTable : public testing::TestWithParam<int> {};

TEST_P(ScannerMessageTable, EveryRowHoldsItsTexts)
{
    const int language = GetParam();
    TTextMsg messages(language);
    ASSERT_EQ(MessageTableSize, 27);
    ASSERT_EQ(kRows, 27);
    for (int id = 0; id < kRows; ++id) {
        EXPECT_EQ(MessageTable[id].Id, id);
        const char *utf8 = language == kChinese ? kExpected[id].Chinese : kExpected[id].English;
        const std::string expected = Expected(id, language);
        ASSERT_EQ(expected.empty(), *utf8 == '\0') << "id " << id << " is not GB2312 text";
        EXPECT_EQ(std::string(messages.Get(static_cast<unsigned char>(id))), expected) << "id " << id;
    }
    EXPECT_STREQ(messages.Get(kRows), "");
    EXPECT_STREQ(messages.Get(255), "");
}

INSTANTIATE_TEST_SUITE_P(Languages, ScannerMessageTable, testing::Values(kEnglish, kChinese),
                         [](const testing::TestParamInfo<int> &info) {
                             return info.param == kChinese ? std::string("Chinese") : std::string("English");
                         });

} // namespace
