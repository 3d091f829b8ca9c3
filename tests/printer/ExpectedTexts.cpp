#include "ExpectedTexts.h"

#include <map>

#include "PrinterTestSupport.h"

namespace printer_test {
namespace {

struct Texts {
    const char *English;
    const char *Chinese;
};

const std::map<int, Texts> &Table()
{
    static const std::map<int, Texts> table = {
        {0, {"", ""}},
        {1, {"No printer detected.\r\nPlease check your USB connection.", "未发现打印设备.\r\n请检查USB连接."}},
        {2, {"Nothing to print.", "当前无打印任务"}},
        {3, {"No Connection.\r\nPlease check your USB connection.", "未连接\r\n请检查USB连接."}},
        {4, {"Printer Connection Error.\r\nPlease check your USB connection.", "打印设备连接出错.\r\n请检查USB连接."}},
        {5,
         {"File Format unknown.\r\nIf this error persists, please contact the technical support from sales organization or manufacturer.",
          "未知文档格式.\r\n如果此错误持续出现,请联系销售商或制造商获取更多\r\n的技术支持."}},
        {6, {"Transmission error.\r\nPlease check your USB connection.", "数据传送错误.\r\n请检查USB连接."}},
        {7, {"Printer not ready.\r\nPlease check your USB cable.", "打印设备未准备就绪.\r\n请检查USB连接."}},
        {8, {"Scanner ready", "扫描设备准备就绪"}},
        {9,
         {"Printer not ready.\r\nPlease check your device LCD message for more details.",
          "打印设备未准备就绪.\r\n请检查LCD显示屏以获取更多提示信息."}},
        {10,
         {"Printer busy.\r\nPlease check your device LCD message for more details.",
          "打印设备繁忙.\r请检查LCD显示屏以获取更多提示信息."}},
        {11,
         {"Printer error.\r\nPlease check your device LCD message for more details.",
          "打印任务出错.\r\n请检查LCD显示屏以获取更多提示信息."}},
        {12, {"Printer not connected.\r\nPlease check your USB connection.", "打印设备未连接.\r\n请检查USB连接."}},
        {13,
         {"Document inserted\r\nIf you want to start a printing or fax receiving task,\r\nplease remove the document from the device.",
          "进稿器由文稿占用\r\n如需打印或接收传真,请移除当前文稿."}},
        {14, {"Scanning in progress.", "扫描任务进行中."}},
        {15, {"Document scanned.", "扫描任务已完成."}},
        {16, {"", ""}},
        {17, {"Printer power off.", "打印设备已关机"}},
        {18, {"", ""}},
        {19, {"Fax Printer Error\r\n\r\n", "打印机出错"}},
        {20,
         {"\r\n\r\nPrinting job canceled.\r\nCheck the machine and restart the printing.",
          "\r\n\r\n打印任务已取消.\r\n请检查打印设备然后重新启动打印任务."}},
        {21, {"Fax Printer Waning\r\n\r\n", "打印机警告\r\n\r\n"}},
        {22, {"\r\n\r\nCancel the job or Retry in 5s.", "\r\n\r\n取消打印任务或者5秒钟后重试."}},
        {23, {"Printer not ready.\r\nPlease check your scann in progress.", ""}},
        {24, {"", ""}},
    };
    return table;
}

} // namespace

std::string ExpectedUtf8(int id, int language)
{
    auto row = Table().find(id);
    if (row == Table().end())
        return std::string();
    return language == kChinese ? row->second.Chinese : row->second.English;
}

std::string ExpectedText(int id, int language)
{
    std::string utf8 = ExpectedUtf8(id, language);
    return language == kChinese ? Gb2312(utf8) : utf8;
}

std::string WarningBytes(int id, int language)
{
    return ExpectedText(21, language) + ExpectedText(id, language) + ExpectedText(22, language);
}

std::string WarningShown(int id, int language)
{
    return Shown(ExpectedUtf8(21, language) + ExpectedUtf8(id, language) + ExpectedUtf8(22, language));
}

std::string ErrorBytes(int id, int language)
{
    return ExpectedText(19, language) + ExpectedText(id, language) + ExpectedText(20, language);
}

std::string ErrorShown(int id, int language)
{
    return Shown(ExpectedUtf8(19, language) + ExpectedUtf8(id, language) + ExpectedUtf8(20, language));
}

} // namespace printer_test
