// The precompiled headers are built with this file.
