// The commands that open the modeless space-block dialogs. Each prints its banner, then builds its
// dialog on the heap, shows it and returns; the dialog lives on in the host's loop and deletes
// itself when it closes.
#pragma once

// obc: the block creator (CPresBlockCreation), on the module folder's preferences.
void blockCreate();

// obh: the hyperlinking dialog (CHyperPres).
void blockHyperlink();
