// The program's version, as the version resource carries it. Shared by Clavora.rc and the
// C++ code, hence plain #defines.
#pragma once

#define CLAVORA_VERSION_NUMBERS 1, 0, 1, 120
#define CLAVORA_PRODUCT_VERSION "1, 0, 1, 120"
#define CLAVORA_FILE_VERSION "1, 0, 1, 120"

// The one translation of the version resource: Japanese, UTF-16 strings.
#define CLAVORA_VERSION_LANGUAGE 0x0411
#define CLAVORA_VERSION_CODEPAGE 0x04B0
#define CLAVORA_VERSION_BLOCK "041104b0"  // the two above as the string table's key
