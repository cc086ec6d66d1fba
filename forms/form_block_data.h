// The compiled form block of this program's two windows, in read-only data.
#pragma once

extern "C" const unsigned char ts_form_block[];
extern "C" const unsigned ts_form_block_size;
