// A program image for test programs that run the runtime in-process: the
// four real command libraries and the program's external function table,
// no window template. InitialiseTestProgram brings the runtime up once on
// the calling thread (OLE, library notification, external table).
#pragma once

namespace lyra::test {

void InitialiseTestProgram();

}  // namespace lyra::test
