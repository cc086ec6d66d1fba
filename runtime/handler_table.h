// The application's handler table: fixed-size thunks at the code base.
//
// Handler offsets in the form descriptions are 16 × the handler's position
// in the application's handler list, relative to the program header's code
// base. The application places one 16-byte thunk per position at the code
// base: a 5-byte jump to the handler, padded with breakpoint bytes.
//
//   extern "C" void OnScanClicked();          // handlers: extern "C", cdecl
//   extern "C" void OnStopClicked();
//   TS_HANDLER_TABLE_BEGIN(ts_app_handlers)   // code base
//   TS_HANDLER(OnScanClicked)                 // position 0, offset 0
//   TS_HANDLER(OnStopClicked)                 // position 1, offset 16
//   TS_HANDLER_GAP()                          // a position with no handler
//   extern "C" const unsigned char ts_app_handlers[];
//
// All entries must sit in one source file, at namespace scope, in order:
// they go to a section of their own (so no function lands between them),
// each entry switches back to .text, and top-level asm statements keep
// their source order. Best kept in a file of their own.
#pragma once

#define TS_HT_STR2(x) #x
#define TS_HT_STR(x) TS_HT_STR2(x)
#define TS_HT_SYM(name) TS_HT_STR(__USER_LABEL_PREFIX__) #name

// The table lives in a code section of its own, aligned to 16.
#define TS_HANDLER_TABLE_BEGIN(table)                       \
  asm(".section .text$ts_handlers,\"xr\"\n\t"           \
      ".balign 16\n\t"                                      \
      ".globl " TS_HT_SYM(table) "\n" TS_HT_SYM(table) ":\n\t" \
      ".text\n");

// One entry: jmp rel32 (always the 5-byte form), then 11 int3 bytes.
#define TS_HANDLER(fn)                                 \
  asm(".section .text$ts_handlers,\"xr\"\n\t"      \
      ".byte 0xE9\n\t"                                 \
      ".long " TS_HT_SYM(fn) " - . - 4\n\t"            \
      ".fill 11, 1, 0xCC\n\t"                          \
      ".text\n");

// A position that has no handler: 16 breakpoint bytes.
#define TS_HANDLER_GAP()                          \
  asm(".section .text$ts_handlers,\"xr\"\n\t" \
      ".fill 16, 1, 0xCC\n\t"                     \
      ".text\n");
