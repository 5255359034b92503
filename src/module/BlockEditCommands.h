// The block editor command.
#pragma once

// obe: after the banner "Orvan Block Edit ", opens a new block editor (CPresQuorvelle) on the
// current drawing, modeless, with the host window that was active and the module folder. The
// editor lives on after the command and deletes itself when its window ends. Without a current
// drawing nothing opens and a line says so. A failure shows the error chain naming "quorvelle";
// anything else prints "\nUnhandled Error - Block Edit Failed\n".
void quorvelle();
