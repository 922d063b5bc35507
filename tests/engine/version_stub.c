// Code of the version-rule test libraries: nothing but their resources.
