// Filled in with the desktop utilities.
