// The update check at the first activation of the main window.
#include <cstring>
#include <string>

#include "app/page_limits.h"
#include "app/services.h"
#include "app/routines.h"
#include "app/text_routines.h"
#include "app/web_access.h"
#include "commands/text_commands.h"
#include "program/constants.h"

namespace lyra::app {

namespace {

constexpr double kRunningVersion = 1.0;
constexpr double kThreshold = 1e-7;

std::string Between(const char* page, const char* left, const char* right) {
    return OwnedText(TextBetween(page, left, right)).c_str();
}

void SetWindowVisible(bool visible) { WriteIntProperty(kWindowUnitId, units::kPropertyVisible, visible ? 1 : 0); }

void OpenDownloadAndExit(const char* page) {
    std::string address = Between(page, "☆☆☆☆☆下载地址→", "←下载地址☆☆☆☆☆");
    OpenInBrowser(address.c_str());
    kServices.ExitProgram(0);
}

}  // namespace

void CheckForUpdate() {
    OwnedText page(FetchPage(kConstants.announcementUrl, kPageLimits));
    if (RecordInt(CoreCommand(&FindText, {TextArg(page.c_str()), TextArg("最新版本"), Absent(), Absent()})) < 1) return;

    std::string latest = Between(page.c_str(), "☆☆☆☆☆最新版本→", "←最新版本☆☆☆☆☆");
    float single = RecordFloat(CoreCommand(&ToFloat, {TextArg(latest.c_str())}));
    double version = static_cast<double>(single);
    if (!(version - kRunningVersion > kThreshold)) return;

    SetWindowVisible(false);
    std::string flag = Between(page.c_str(), "☆☆☆☆☆强制更新→", "←强制更新☆☆☆☆☆");
    if (flag == "强制") {
        int32_t answer = ShowBox("立即更新，请点击“确定”！\r\n\r\n退出软件，请点击“取消”！", 0x41,
                                 "更新提示（强制更新）：");
        if (answer == 0) OpenDownloadAndExit(page.c_str());
        kServices.ExitProgram(0);
    }
    int32_t answer = ShowBox("立即更新，请点击“确定”！\r\n\r\n继续使用，请点击“取消”！", 0x41, "更新提示：");
    if (answer == 0) OpenDownloadAndExit(page.c_str());
    SetWindowVisible(true);
}

}  // namespace lyra::app
