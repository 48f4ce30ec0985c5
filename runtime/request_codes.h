// The numbers of the runtime–library interface: the messages the runtime
// sends to each library's notify function, and the codes a library passes
// to the runtime's request function. A code missing here answers 0.
#pragma once

namespace lyra {

enum NotifyMessage : int {
    kNotifyStart = 1,             // param1: the runtime request function
    kNotifyPreTranslate = 2,      // param1: framework window object, param2: MSG*
    kNotifyShutdown = 6,          // param1: the library's own word
    kNotifyNewObject = 10,
    kNotifyDeleteObject = 11,
    kNotifyCoreText = 12,
    kNotifyApplicationWords = 13,
};

enum RequestCode : int {
    kRequestProgramIcons = 1000,        // param1: two words receiving large and small icon
    kRequestLoadedTemplate = 1001,
    kRequestDataTypeRecord = 1002,      // param1: library type code
    kRequestConstantOne = 1004,
    kRequestConstantFive = 1005,
    kRequestWrapWindow = 1007,          // param1: window handle
    kRequestDeleteObject = 1008,        // param1: framework object
    kRequestDetachWindow = 1009,        // param1: framework window object
    kRequestWindowHandle = 1010,        // param1: framework window object
    kRequestAddIdleCallback = 1012,     // param1: three words (window, routine, argument)
    kRequestRemoveIdleCallback = 1013,  // param1: window handle
    kRequestUnitDestroyed = 2000,       // param1: window id, param2: unit id (0: the window)
    kRequestProgramDirectory = 2003,
    kRequestProgramFileName = 2004,
    kRequestLoadWindow = 2005,          // param1: window id, param2: 1 for modal
    kRequestUnitObject = 2006,          // param1: window id, param2: unit id
    kRequestRequiredUnitObject = 2007,  // as kRequestUnitObject; a missing unit is a runtime error
    kRequestRaiseEvent = 2008,          // param1: EventRequest*
    kRequestSuspendEvents = 2009,
    kRequestResumeEvents = 2010,
    kRequestPumpMessages = 2018,
    kRequestFreeArray = 2023,           // param1: element type code, param2: array
    kRequestAllocate = 2024,            // param1: size, param2: non-zero answers null on failure
    kRequestFree = 2025,
    kRequestReallocate = 2026,
    kRequestReportError = 2027,         // param1: message text
    kRequestExitProgram = 2028,
    kRequestProgramKind = 2030,
    kRequestRaiseTypedEvent = 2031,     // param1: TypedEventRequest*
    kRequestClearObject = 2035,         // param1: the ComObject value to empty
    kRequestProgramDirectoryWide = 2036,
};

}  // namespace lyra
