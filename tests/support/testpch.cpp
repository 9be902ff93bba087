// Only here so the shared precompiled header of the test programs has a target to belong to.
