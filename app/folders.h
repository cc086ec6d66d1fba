// The folder list and the file-type choice.
#pragma once

#include <string>

namespace ts::app {

void AddFolder();
void RemoveFolder();
void ChooseFileType();

// The text between the first left delimiter (from `start`, 1-based; 0 or
// less means the beginning) and the next right delimiter after it; empty
// when either is missing. "#引号" in a delimiter stands for a double quote.
std::string TextBetween(const std::string& text, const std::string& left, const std::string& right, int start = 0,
                        bool caseSensitive = false);

}  // namespace ts::app
