#pragma once

// A property every input must keep; a broken one aborts, which the fuzzer
// records as a crash together with the input.
void FuzzCheck(bool ok, const char* what);
