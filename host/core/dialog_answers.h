// dialog_answers.h - how dialog boxes are answered where nobody can click them.
#pragma once
#include <string>
#include "host/core/hostsdk_api.h"

// The runner says whether it pumps messages (no --headless); a host without a message
// loop, or a run with VANTREL_DIALOG_ANSWERS set, answers every dialog box from the list.
HOSTSDK_API void set_dialogs_headless(bool headless);
HOSTSDK_API bool dialogs_answered_from_list();
// True when nothing pumps messages: a modal dialog does not wait there.
HOSTSDK_API bool dialogs_headless();
// The next answer of VANTREL_DIALOG_ANSWERS (answers separated by "|", taken in order);
// false when the list is used up, and the dialog box takes its cancel answer.
HOSTSDK_API bool next_dialog_answer(std::string& answer);
// Tells the listener what a dialog box answered from the list: "-- queryBox "text": yes".
HOSTSDK_API void note_dialog_answer(const char* dialog, const std::string& text, const std::string& answer);
