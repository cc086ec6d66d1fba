// Lays out form sources as the form block the executable carries.
#pragma once

#include <string>
#include <vector>

#include "forms/form_block.h"
#include "tools/formc/source.h"

namespace formc {

// Handler names become offsets: 16 × their position in `handlers`.
ts::forms::WindowRecord CompileForm(const FormSource& form, const std::vector<std::string>& handlers);
ts::forms::Bytes CompileBlock(const std::vector<FormSource>& forms,
                              const std::vector<std::string>& handlers);

// Reads a block back: every unit list sound and every property record read
// to its last byte by its type. Returns an empty string or the first fault.
std::string CheckBlock(const ts::forms::Bytes& block);

}  // namespace formc
