// In app/ beside RegexObject, its one user; it needs only regex/ and OLE, nothing of the runtime.
//
// The program's own RegExp class, for where VBScript.RegExp cannot be
// created. Its objects answer VBScript.RegExp's members by name through
// IDispatch (GetIDsOfNames; they offer no type information), with the same
// member ids, argument coercion, results and errors: RegExp ("Pattern", "IgnoreCase", "Global", "Multiline",
// "Execute", "Test", "Replace"), MatchCollection ("Count", "Item"), Match
// ("Value", "FirstIndex", "Length", "SubMatches") and SubMatches ("Count",
// "Item"). Positions count UTF-16 units. The reference counts are
// thread-safe; the objects themselves belong to the thread that uses them.
#pragma once

#include <atomic>

struct IDispatch;

namespace lyra::app {

// A new RegExp object with an empty pattern and every option false, as
// VBScript's begins; the caller holds its one reference.
IDispatch* NewOwnRegExp();

// While one lives on a thread, Execute, Test and Replace of this class on
// that thread give up as soon as *cancel turns true, raising E_ABORT.
class OwnRegExpCancel {
public:
    explicit OwnRegExpCancel(const std::atomic<bool>* cancel);
    ~OwnRegExpCancel();
    OwnRegExpCancel(const OwnRegExpCancel&) = delete;
    OwnRegExpCancel& operator=(const OwnRegExpCancel&) = delete;

private:
    const std::atomic<bool>* previous_;
};

}  // namespace lyra::app
