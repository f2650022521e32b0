#pragma once
// Texts of the output windows and dialog controls that the report core's table does not hold
// (the designer's table stores them too; a program without the designer still needs them).

// Adds the texts under keys still missing from the table; a later call adds nothing.
void frxRegisterOutputTexts();
