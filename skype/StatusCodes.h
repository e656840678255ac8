#pragma once

#include <QStringView>

// The numbers the program gives Skype's call status words. 6 and 7 together mean a call is
// active (talking or held); 4 and 8 to 12 mean it has ended.
enum CallStatusCode : int {
    CallStatusUnknown = 0,
    CallUnplaced = 1,
    CallRouting = 2,
    CallEarlyMedia = 3,
    CallFailed = 4,
    CallRinging = 5,
    CallInProgress = 6,
    CallOnHold = 7,
    CallFinished = 8,
    CallMissed = 9,
    CallRefused = 10,
    CallBusy = 11,
    CallCancelled = 12,
};

// The numbers of the user's own online status words, as reported by "userstatus" and
// "connstatus".
enum UserStatusCode : int {
    UserStatusUnknown = 0,
    UserLoggedOut = 1,
    UserOffline = 2,
    UserOnline = 3,
    UserSkypeMe = 4,
    UserAway = 5,
    UserNotAvailable = 6,
    UserDoNotDisturb = 7,
    UserInvisible = 8,
};

// The code of an upper-case status word; 0 for a word the program does not know.
int callStatusCodeOf(QStringView word);
int userStatusCodeOf(QStringView word);

inline bool isActiveCallStatus(int code)
{
    return code == CallInProgress || code == CallOnHold;
}
