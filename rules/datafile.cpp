#include "rules/datafile.h"

// Implemented with the file commands.
