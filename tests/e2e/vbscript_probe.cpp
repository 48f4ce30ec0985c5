// Ends with 0 when VBScript.RegExp can be created in this process, 1 when
// it cannot. Copied under another program's name it finds what Wine's
// per-program settings leave that program.
#include "tests/windows/support/vbscript_presence.h"

int main() { return lyra::test::VBScriptRegExpCreatable() ? 0 : 1; }
