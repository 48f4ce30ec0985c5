// Copying cells and rows of the two lists to the clipboard, and saving both
// lists to a text file in the program's directory.
#include <string>

#include "app/list_reading.h"
#include "app/list_texts.h"
#include "app/routines.h"
#include "app/services.h"
#include "commands/text_commands.h"
#include "commands/ui_commands.h"

namespace lyra::app {

namespace {

void PutOnClipboard(const std::string& text) { CoreCommand(&SetClipboardText, {TextArg(text.c_str())}); }

void CopyByHeader(uint32_t list, const int64_t* args, int argCount) {
    std::string text;
    if (argCount >= 1 && HeaderCopyText(list, args[0], &text)) PutOnClipboard(text);
}

// Writes the text as the file of that name in the program's folder.
bool WriteBesideProgram(const std::string& name, const std::string& text) {
    OwnedBytes bytes = cmd::TextToBytes(text.c_str());
    return RecordInt(CoreCommand(&WriteFileBytes, {TextArg(name.c_str()), BytesArg(bytes.get())})) != 0;
}

}  // namespace

bool CopyByHeaderBackground(const int64_t* args, int argCount, int64_t*) {
    CopyByHeader(units::kBackgroundList, args, argCount);
    return false;
}

bool CopyByHeaderFavourite(const int64_t* args, int argCount, int64_t*) {
    // The help text promises that the ID header copies the whole row: both lists keep that promise.
    CopyByHeader(units::kFavouriteList, args, argCount);
    return false;
}

bool CopyMusicAddressBackground(const int64_t*, int, int64_t*) {
    PutOnClipboard(AddressCopyText(units::kBackgroundList));
    return false;
}

bool CopyMusicAddressFavourite(const int64_t*, int, int64_t*) {
    PutOnClipboard(AddressCopyText(units::kFavouriteList));
    return false;
}

bool SaveMusicLists(const int64_t*, int, int64_t*) {
    std::string number = ReadTextProperty(units::kSavedNumberEdit, units::kPropertyCaption).c_str();
    // A number that is no plain part of a file name would put the file
    // elsewhere than the box says: it is not written at all.
    if (SavableNumber(number) && WriteBesideProgram(SavedFileName(number), SaveText(number))) {
        std::string message = "“" + SavedFileName(number) + "”已保存在软件运行目录下！";
        ShowBox(message.c_str(), 0x40, "保存完成：");
    } else {
        ShowBox("保存失败！", 0x40, "失败提醒：");
    }
    return false;
}

}  // namespace lyra::app
