// Toada's exceptions table: words whose spelling the rules would read
// wrongly, read in upper case by the reader both voices share.
#pragma once
#include <cstddef>
#include <string>

bool LoadExceptionList(const std::string& path);
void ClearExceptionList();
size_t ExceptionListCount();
void FindException(std::string& word);
