#pragma once

// How the program's memory goes back to the system.
//
// The C library's allocator keeps freed memory for later by default, and learns to keep ever
// larger blocks: once a block of megabytes is freed, blocks up to that size come from its own
// pool, which rarely shrinks. A large page's text copies (reading, colouring, Replace All, the
// recovery journal) then stay resident long after they are freed.

// At start-up, before anything is allocated in bulk: blocks of a megabyte and more are taken from
// the system on their own and given back the moment they are freed.
void GiveLargeBlocksBack();
