// Numbers of the volume library's own UI texts (resources/levrig/*.txt).
#pragma once

namespace tonvale {
namespace levrig {

enum LevrigText : int {
    kTextPlaybackTitle = 0,
    kTextRecordingTitle = 1,
    kTextConnectedLines = 2,
    kTextFirstError = 3, // error code 1; codes 1 ... 5 follow in order
    kTextUnexpectedError = 8,
    kTextMore = 9,
    kTextVolume = 10,
    kTextMinus = 11,
    kTextPlus = 12,
    kTextMute = 13,
    kTextBalance = 14,
    kTextLeft = 15,
    kTextRight = 16,
    kTextErrorCaption = 17,
};

// Results of a window body and the error box each failure shows.
enum ErrorCode : int {
    kShown = 0,
    kOutOfMemory = 1,
    kNoSoundDevice = 2,
    kInitializationFailed = 3,
    kWindowCreationFailed = 4,
    kDialogFailed = 5,
    kUnexpectedError = 6, // any other positive code reads the same
};

// The text of an error code's box.
constexpr int errorTextNumber(int code) {
    return (code >= kOutOfMemory && code <= kDialogFailed) ? kTextFirstError + code - 1
                                                           : kTextUnexpectedError;
}

} // namespace levrig
} // namespace tonvale
