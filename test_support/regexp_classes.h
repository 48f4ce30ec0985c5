// An object of either RegExp class, made through the COM object commands as
// the extraction makes it: what the comparisons of the two classes start from.
#pragma once

#include "app/own_regexp.h"
#include "app/services.h"
#include "commands/com_object.h"

namespace lyra::test {

// own: the program's own RegExp class; otherwise VBScript.RegExp.
inline app::ObjectValue NewRegExp(bool own) {
    app::ObjectValue regexp;
    if (own) {
        regexp.Attach(app::NewOwnRegExp());
    } else {
        app::CoreCommand(&ObjectCreate, {regexp.arg(), TextArg("VBScript.RegExp"), EmptyRecord()});
    }
    return regexp;
}

}  // namespace lyra::test
