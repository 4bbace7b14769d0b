#pragma once

// The allocations of the process through operator new, counted by this
// program's replacement of it. Natively the framework's libraries share
// the replacement; a Windows DLL keeps its own operator new, so there the
// count covers the program's own allocations only.
long KwAllocationCount();
