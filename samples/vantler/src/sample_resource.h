/* Resource ids shared by the sample programs and their resource scripts. */
#ifndef SAMPLE_RESOURCE_H
#define SAMPLE_RESOURCE_H

#define IDI_SAMPLE 1

#endif
