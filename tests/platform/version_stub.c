// Code of the version-resource test libraries: nothing but their resources.
