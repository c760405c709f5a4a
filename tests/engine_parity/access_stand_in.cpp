// The stand-in mdbtools and Access files of the import tests, shared rather than copied: an
// Access delivery reaches both engines through the same conversion.
#include "import/import_support.cpp"
