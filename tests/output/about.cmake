# The About test carries the version information the way the program does.
qor_embed_version(tst_about)
