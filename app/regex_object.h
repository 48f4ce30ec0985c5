// The application's regular-expression class: a VBScript.RegExp object (the
// program's own RegExp where that class cannot be created) and the match
// collection of its last run, driven through the COM object commands. An instance belongs to the thread that made it: each one
// initialises COM on that thread for its lifetime.
#pragma once

#include <cstdint>

#include "app/services.h"

namespace lyra::app {

class RegexObject {
public:
    RegexObject();
    ~RegexObject();
    // Shares the other's COM objects (one more reference each) and copies its subject.
    RegexObject(const RegexObject& other);
    RegexObject& operator=(const RegexObject&) = delete;

    // Runs pattern over subject, replacing everything a previous Create left.
    // The match ignores case unless caseSensitive; with quoteSubstitution
    // every "#引号" in the pattern stands for a double quote. True when a
    // match collection came back.
    bool Create(const char* pattern, const char* subject, bool caseSensitive = false, bool multiline = true,
                bool global = true, bool quoteSubstitution = false);
    void NoOperation();
    // The texts below are new blocks owned by the caller (null when empty).
    char* GetPattern();
    // The subject with the matches replaced (every match when global).
    char* ReplaceAll(const char* replacement);
    int32_t MatchCount();
    // Match index counts from 1. position, when given, receives the match's
    // 0-based byte offset in the subject, or -2 when it cannot be found.
    char* MatchText(int32_t index, int32_t* position = nullptr);
    // Submatch index counts from 1; a group that took no part gives the
    // empty text. position as for MatchText, for the submatch's text.
    char* SubmatchText(int32_t matchIndex, int32_t subIndex, int32_t* position = nullptr);
    // The number of capture groups of the pattern.
    int32_t SubmatchCount();

private:
    void Initialise();
    void Destroy();
    // FindText of text in the subject from the byte position of the match's first character.
    int32_t BytePosition(const ObjectValue& match, const char* text);

    ObjectValue regexp_;
    ObjectValue matches_;
    OwnedText subject_;
};

}  // namespace lyra::app
