// The drive window ground of the I/O and watch window tests.
#pragma once

#include "framework/tests/DriveWindowDemoTest.h"

class IoDemoTest : public DriveWindowDemoTest {};
