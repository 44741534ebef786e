#pragma once

// On a Unix desktop without any display Qt would abort with a long message;
// this says in one line what is missing and how to start the program anyway.
// Returns false (after printing) when no display can be reached.
bool displayAvailable();
