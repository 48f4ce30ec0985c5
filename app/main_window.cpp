// The main window's small event routines: the prompt of the number box,
// starting the worker threads, and the help, about and closing boxes.
#include <windows.h>

#include <cstring>
#include <string>

#include "app/services.h"
#include "app/routines.h"
#include "commands/thread_library.h"
#include "commands/ui_commands.h"
#include "program/constants.h"

namespace lyra::app {

namespace {

const char kPrompt[] = "请输入要查询的QQ";
constexpr int32_t kPromptColour = 0x808080;
constexpr int32_t kTypingColour = 0;
constexpr int32_t kTypingLengthLimit = 11;

const char kHelpText[] =
    "操作说明——\r\n1、输入QQ后，点击查询按钮或按回车键来进行查询；\r\n"
    "2、在“背景音乐列表”或“收藏音乐列表”里选中一行，\r\n"
    "   然后单击表头的“歌手名”或“歌曲名”或“音乐地址”，\r\n"
    "   就能复制选中行的“歌手名”或“歌曲名”或“音乐地址”；\r\n"
    "   单击表头“ID”复制整行内容；双击选中行复制“音乐地址”。\r\n"
    "3、“保存音乐列表”能保存“背景音乐列表”和“收藏音乐列表”\r\n"
    "   里的所有音乐信息。";

DWORD WINAPI LookupThreadEntry(void*) {
    LookupMusic();
    return 0;
}

DWORD WINAPI UpdateThreadEntry(void*) {
    CheckForUpdate();
    return 0;
}

bool Launch(LPTHREAD_START_ROUTINE entry) {
    return RecordInt(LibraryCommand(kThreadLibrary, &LaunchThread,
                                    {PointerArg(reinterpret_cast<const void*>(entry), kTypeRoutine), Absent(),
                                     Absent()})) != 0;
}

}  // namespace

int32_t ShowBox(const char* content, int32_t flags, const char* title) {
    return RecordInt(CoreCommand(&ShowMessageBox, {TextArg(content), IntArg(flags), TextArg(title)}));
}

bool StartUpdateThread(const int64_t*, int, int64_t*) {
    Launch(&UpdateThreadEntry);
    return false;
}

bool StartLookupThread(const int64_t*, int, int64_t*) {
    // The group is disabled here, before the worker exists, so that a press
    // or click already queued behind this one finds it disabled.
    WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 1);
    if (!Launch(&LookupThreadEntry)) WriteIntProperty(units::kQueryGroup, units::kPropertyDisabled, 0);
    return false;
}

bool StartLookupOnEnter(const int64_t* args, int argCount, int64_t* result) {
    if (argCount >= 1 && args[0] == 13) StartLookupThread(args, argCount, result);
    return false;
}

bool ClearPrompt(const int64_t*, int, int64_t*) {
    OwnedText content = ReadTextProperty(units::kNumberEdit, units::kPropertyCaption);
    if (std::strcmp(content.c_str(), kPrompt) == 0) {
        WriteTextProperty(units::kNumberEdit, units::kPropertyCaption, "");
        WriteIntProperty(units::kNumberEdit, units::kPropertyTextColour, kTypingColour);
        WriteIntProperty(units::kNumberEdit, units::kPropertyMaxLength, kTypingLengthLimit);
    }
    return false;
}

bool RestorePrompt(const int64_t*, int, int64_t*) {
    OwnedText content = ReadTextProperty(units::kNumberEdit, units::kPropertyCaption);
    if (content.c_str()[0] == 0) {
        WriteIntProperty(units::kNumberEdit, units::kPropertyTextColour, kPromptColour);
        WriteTextProperty(units::kNumberEdit, units::kPropertyCaption, kPrompt);
        WriteIntProperty(units::kNumberEdit, units::kPropertyMaxLength, 0);
    }
    return false;
}

bool ShowHelp(const int64_t*, int, int64_t*) {
    ShowBox(kHelpText, 0x40, "使用说明：");
    return false;
}

bool ShowAbout(const int64_t*, int, int64_t*) {
    std::string text = "软件版本：v1.0（自动检测更新）";
    text += "\r\n\r\n";
    text += std::string("博客：") + kConstants.makerUrl;
    text += "\r\n\r\n";
    text += "如有问题，请到博客反馈！";
    ShowBox(text.c_str(), 0x40, "关于软件：");
    return false;
}

bool ConfirmClose(const int64_t*, int, int64_t*) {
    int32_t answer = ShowBox("更多精彩，请点击“确定”！\r\n\r\n关闭软件，请点击“取消”！ ", 0x41, "更多精彩：");
    if (answer == 0) OpenInBrowser(kConstants.makerUrl);
    return false;
}

}  // namespace lyra::app
