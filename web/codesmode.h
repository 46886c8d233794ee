#pragma once

#include "web/commandline.h"

// fachlese-web --codes: reads the class list, gives every pupil a new code and writes the list
// of codes and the slips. Returns the exit status; messages go to standard error.
int WriteCodes(const WebOptions &options);
