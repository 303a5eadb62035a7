// The end-to-end driver: starts real processes on the runner's desktop, gives input as a user does
// and observes from outside. Its parts, and the tests' shared fixture, in one header.
#pragma once

#include "e2e.h"
