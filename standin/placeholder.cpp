// The stand-in's sources are added beside this file.
