// The compiled form block of this program's windows (see forms/form_block_data.h).
#pragma once

#include "forms/form_block_data.h"
