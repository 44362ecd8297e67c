// LeakSanitizer's default suppressions for programs that talk to PostgreSQL. libpq uses
// OpenSSL for TLS and for SCRAM's hashes, and OpenSSL 3 keeps per-thread state that is now
// and then still allocated when LeakSanitizer looks at exit (seen in one of thirty upload
// programs under AddressSanitizer). Those blocks are OpenSSL's own, never ours. Include this
// in exactly one file of a program; without the sanitizers nothing calls it.
#pragma once

extern "C" const char* __lsan_default_suppressions() { return "leak:libcrypto.so\n"; }
