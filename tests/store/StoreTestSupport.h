#pragma once

// The store tests use the shared temporary folders and file reads.
#include "support/TestFiles.h"
