#pragma once
#include "support/fault_ports.h"  // FilesWrapper lives with the other fault ports.
