#pragma once
// Standard input and output as the operating system gives them.

namespace scenario {

// Bytes in, bytes out: the language server's message lengths count bytes, so
// no line-end translation may touch them (Windows would turn LF into CR LF).
void flussi_standard_binari();

}  // namespace scenario
